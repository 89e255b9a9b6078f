#include <gtest/gtest.h>

#include <string>

#include "shader/program_builder.h"

static std::string version_line(int major, int minor, int profile_mask) {
    char line[128];
    format_glsl_version_line(line, sizeof line, major, minor, profile_mask);
    return line;
}

TEST(GlslVersionLine, OldVersionsHaveTheirOwnNumbersAndNoProfile) {
    EXPECT_EQ(version_line(2, 0, 0), "#version 110 \n");
    EXPECT_EQ(version_line(2, 1, 1), "#version 120 \n");
    EXPECT_EQ(version_line(3, 0, 0), "#version 130 \n");
    EXPECT_EQ(version_line(3, 1, 0), "#version 140 \n");
    EXPECT_EQ(version_line(3, 2, 1), "#version 150 \n");
    EXPECT_EQ(version_line(3, 2, 0), "#version 150 \n");
}

TEST(GlslVersionLine, From330TheProfileMaskChoosesTheWord) {
    EXPECT_EQ(version_line(3, 3, 0), "#version 330 compatibility\n");
    EXPECT_EQ(version_line(3, 3, 1), "#version 330 core\n");
    EXPECT_EQ(version_line(4, 5, 1), "#version 450 core\n");
    EXPECT_EQ(version_line(4, 6, 1), "#version 460 core\n");
    // Any non-zero mask counts, the compatibility bit included.
    EXPECT_EQ(version_line(4, 5, 2), "#version 450 core\n");
    EXPECT_EQ(version_line(4, 0, 0), "#version 400 compatibility\n");
}
