#include <gtest/gtest.h>

#include "gl/gl_diagnostics.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"

TEST(GlEnumName, DebugWordsAreShortAndOtherNamesFull) {
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_SOURCE_API), "API");
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_SOURCE_SHADER_COMPILER), "SHADER_COMPILER");
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR), "UNDEFINED_BEHAVIOR");
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_SEVERITY_NOTIFICATION), "NOTIFICATION");
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_SEVERITY_LOW), "LOW");
    EXPECT_STREQ(gl_enum_name(GL_STACK_OVERFLOW), "GL_STACK_OVERFLOW");
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_OUTPUT), "GL_DEBUG_OUTPUT");
    EXPECT_STREQ(gl_enum_name(GL_CONTEXT_FLAG_DEBUG_BIT), "GL_CONTEXT_FLAG_DEBUG_BIT");
    EXPECT_STREQ(gl_enum_name(GL_INVALID_ENUM), "GL_INVALID_ENUM");
    EXPECT_STREQ(gl_enum_name(GL_INVALID_VALUE), "GL_INVALID_VALUE");
    EXPECT_STREQ(gl_enum_name(GL_INVALID_OPERATION), "GL_INVALID_OPERATION");
    EXPECT_STREQ(gl_enum_name(GL_OUT_OF_MEMORY), "GL_OUT_OF_MEMORY");
    EXPECT_STREQ(gl_enum_name(GL_INVALID_FRAMEBUFFER_OPERATION), "GL_INVALID_FRAMEBUFFER_OPERATION");
    EXPECT_STREQ(gl_enum_name(GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT), "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT");
}

TEST(GlEnumName, SourceOtherAndTypeOtherShareTheirText) {
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_SOURCE_OTHER), "OTHER");
    EXPECT_STREQ(gl_enum_name(GL_DEBUG_TYPE_OTHER), "OTHER");
}

TEST(GlEnumName, UnlistedValuesAreUnknownWithoutRangeGuessing) {
    EXPECT_STREQ(gl_enum_name(0), "unknown");
    EXPECT_STREQ(gl_enum_name(0x82E5), "unknown");  // a hole between listed values
    EXPECT_STREQ(gl_enum_name(0x9149), "unknown");  // just past the severities
    EXPECT_STREQ(gl_enum_name(0x10000 | GL_DEBUG_SOURCE_API), "unknown");
}

TEST(GlDebugCallback, WritesOneSpelledOutLine) {
    RecordingLog log;
    gl_debug_callback(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 0x502, GL_DEBUG_SEVERITY_HIGH, 5,
                      "GL_INVALID_OPERATION", nullptr);
    gl_debug_callback(GL_DEBUG_SOURCE_OTHER, GL_DEBUG_TYPE_OTHER, 0, 0x9999, -1, "vendor says hi", nullptr);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "GL:API.ERROR.HIGH[0x502]:GL_INVALID_OPERATION");
    EXPECT_EQ(log.lines[1], "GL:OTHER.OTHER.unknown[0x0]:vendor says hi");
}

class GlDiagnostics : public GlTest {};

TEST_F(GlDiagnostics, InformationDumpIsSixLinesInOrder) {
    RecordingLog log;
    log_gl_info();
    ASSERT_EQ(log.lines.size(), 6u);
    EXPECT_EQ(log.lines[0], "glGetDbgInfo:");
    EXPECT_EQ(log.lines[1].rfind("GL_VENDOR:", 0), 0u);
    EXPECT_EQ(log.lines[2].rfind("GL_RENDERER:", 0), 0u);
    EXPECT_EQ(log.lines[3].rfind("GL_VERSION:4.5", 0), 0u) << log.lines[3];
    EXPECT_NE(log.lines[3].find("Core Profile"), std::string::npos) << log.lines[3];
    EXPECT_EQ(log.lines[4].rfind("GL_SHADING_LANGUAGE_VERSION:4.50", 0), 0u) << log.lines[4];
    EXPECT_EQ(log.lines[5], "---------------------");
}

TEST_F(GlDiagnostics, ProvokedErrorBecomesAnApiErrorLine) {
    enable_gl_debug_output(1);
    RecordingLog log;
    glBindBuffer(GL_ARRAY_BUFFER, 0xDEAD);  // never generated: GL_INVALID_OPERATION
    ASSERT_GE(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].rfind("GL:API.ERROR.HIGH[0x", 0), 0u) << log.lines[0];
}

TEST_F(GlDiagnostics, FlagZeroSilencesEveryMessage) {
    enable_gl_debug_output(0);
    RecordingLog log;
    glBindBuffer(GL_ARRAY_BUFFER, 0xDEAD);
    glEnable(0xFFFF);
    EXPECT_EQ(log.count_prefix("GL:"), 0) << log.joined();
    log_gl_info();
    EXPECT_EQ(log.count_prefix("GL_VERSION:"), 1);
    enable_gl_debug_output(1);
}

TEST_F(GlDiagnostics, OnlyTheLowByteOfTheFlagCounts) {
    enable_gl_debug_output(0x100);
    RecordingLog log;
    glBindBuffer(GL_ARRAY_BUFFER, 0xDEAD);
    EXPECT_EQ(log.count_prefix("GL:"), 0);
    enable_gl_debug_output(1);
}

TEST_F(GlDiagnostics, ApplicationMessagesOfLowSeverityAndNotificationsAreLogged) {
    enable_gl_debug_output(1);
    RecordingLog log;
    glDebugMessageInsert(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_MARKER, 7, GL_DEBUG_SEVERITY_NOTIFICATION, -1,
                         "frame start");
    glDebugMessageInsert(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_PERFORMANCE, 0xABC, GL_DEBUG_SEVERITY_LOW, -1,
                         "slow path");
    ASSERT_EQ(log.count_prefix("GL:"), 2) << log.joined();
    EXPECT_EQ(log.lines[0], "GL:APPLICATION.MARKER.NOTIFICATION[0x7]:frame start");
    EXPECT_EQ(log.lines[1], "GL:APPLICATION.PERFORMANCE.LOW[0xABC]:slow path");
}
