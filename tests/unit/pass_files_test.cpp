// Companion names and whole-file reads: the file side of a pass set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "shader/pass_set.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unreadable_file.h"

static std::string companion(const char* path, const char* suffix) {
    const char* name = companion_path(path, suffix);
    return name ? name : "<none>";
}

TEST(CompanionPath, ReplacesTheExtensionOfTheFileName) {
    EXPECT_EQ(companion("C:\\walls\\disc.glsl", "a.glsl"), "C:\\walls\\disc.a.glsl");
    EXPECT_EQ(companion("C:\\walls\\disc.glsl", "0.glsl"), "C:\\walls\\disc.0.glsl");
    EXPECT_EQ(companion("scene.txt", "d.glsl"), "scene.d.glsl");
    EXPECT_EQ(companion("walls/disc.frag.glsl", "b.glsl"), "walls/disc.frag.b.glsl");
}

TEST(CompanionPath, DotsInFolderNamesAreNotExtensions) {
    EXPECT_EQ(companion("C:\\my.walls\\disc", "a.glsl"), "C:\\my.walls\\disc.a.glsl");
    EXPECT_EQ(companion("/home/me/.config/disc", "c.glsl"), "/home/me/.config/disc.c.glsl");
    EXPECT_EQ(companion("disc", "a.glsl"), "disc.a.glsl");
}

TEST(CompanionPath, LongNamesAreFormedWholeNeverCutOrStale) {
    EXPECT_EQ(companion("C:\\walls\\disc.glsl", "a.glsl"), "C:\\walls\\disc.a.glsl");
    const std::string long_folder = "C:\\" + std::string(2000, 'w');
    EXPECT_EQ(companion((long_folder + "\\disc.glsl").c_str(), "a.glsl"), long_folder + "\\disc.a.glsl");
    EXPECT_EQ(companion("C:\\walls\\disc.glsl", "b.glsl"), "C:\\walls\\disc.b.glsl");
    EXPECT_EQ(companion(nullptr, "a.glsl"), "<none>");
}

static std::string read_text(const std::string& path) {
    char* text = read_whole_file(path.c_str());
    std::string result = text ? std::string(text) : "<absent>";
    free(text);
    return result;
}

TEST(ReadWholeFile, ReadsEveryByteAndTerminatesTheText) {
    TempFolder folder;
    EXPECT_EQ(read_text(folder.write("pass.glsl", "void mainImage();\r\n")), "void mainImage();\r\n");
    EXPECT_EQ(read_text(folder.write("empty.glsl", "")), "");
}

TEST(ReadWholeFile, WhatCannotBeReadWholeIsAbsent) {
    TempFolder folder;
    EXPECT_EQ(read_text(folder.file("missing.glsl")), "<absent>");
    EXPECT_EQ(read_text(folder.make_folder("a folder.glsl")), "<absent>");
    const UnreadableFile unreadable(folder.file("mid-save.glsl"));
    ASSERT_FALSE(unreadable.path.empty());
    EXPECT_EQ(read_text(unreadable.path), "<absent>");
    EXPECT_EQ(read_whole_file(nullptr), nullptr);
}

TEST(ReadWholeFile, TextWithZeroBytesIsReadWhole) {
    TempFolder folder;
    const std::string content("abc\0def", 7);
    size_t size = 0;
    char* text = read_whole_file(folder.write("binary.bin", content).c_str(), &size);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(std::string(text, 7), content);
    EXPECT_EQ(text[7], '\0');
    free(text);
}
