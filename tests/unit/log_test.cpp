#include <gtest/gtest.h>

#include <string>

#include "base/log.h"
#include "tests/support/recording_log.h"

TEST(LogFormatting, LinesCarryTheFormattedTextOnly) {
    RecordingLog log;
    log_message("load_shader failed:%s", "C:\\walls\\disc.glsl");
    log_message("SetWindowPos:%d %d", 1920, 1080);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "load_shader failed:C:\\walls\\disc.glsl");
    EXPECT_EQ(log.lines[1], "SetWindowPos:1920 1080");
}

TEST(LogFormatting, NullStringPrintsAsNull) {
    RecordingLog log;
    // Kept opaque so the compiler cannot see the null and refuse the call.
    const char* volatile no_path = nullptr;
    log_message("load_shader failed:%s", no_path);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "load_shader failed:(null)");
}

TEST(LogFormatting, HandlesPrintAsTheirLow32BitsInEitherCase) {
    RecordingLog log;
    const void* handle = reinterpret_cast<const void*>(static_cast<uintptr_t>(0x1234ABCDull));
    log_message("hwnd:%x", handle_bits(handle));
    log_message("Explorer:%X", handle_bits(handle));
    log_message("SendMessage wnd:%X", handle_bits(nullptr));
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0], "hwnd:1234abcd");
    EXPECT_EQ(log.lines[1], "Explorer:1234ABCD");
    EXPECT_EQ(log.lines[2], "SendMessage wnd:0");
}

TEST(LogFormatting, HighPointerBitsAreDropped) {
    if (sizeof(void*) < 8) GTEST_SKIP() << "32-bit pointers have no high bits";
    const void* handle = reinterpret_cast<const void*>(static_cast<uintptr_t>(0x7FF600000042ull));
    EXPECT_EQ(handle_bits(handle), 0x42u);
}

TEST(LogFormatting, MessagesWithTheirOwnLineFeedsStayWhole) {
    RecordingLog log;
    log_message("pragma match: %s %s\n", "iChannel0", "rgba_noise.png");
    log_message("Linking Error:\n%s", "0:3(1): error: syntax error");
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "pragma match: iChannel0 rgba_noise.png\n");
    EXPECT_EQ(log.lines[1], "Linking Error:\n0:3(1): error: syntax error");
}

TEST(LogFormatting, LongLinesAreNeverCutForTheFile) {
    RecordingLog log;
    const std::string long_text(300, 'x');
    log_message("%s", long_text.c_str());
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].size(), 300u);
}

TEST(LogStream, LinesGoToTheChosenStreamOrNowhereWhileObserversStillSeeThem) {
    FILE* stream = tmpfile();
    ASSERT_NE(stream, nullptr);
    RecordingLog log;
    set_log_stream(stream);
    log_message("to the stream %d", 1);
    set_log_stream(nullptr);
    log_message("to nowhere");
    set_log_stream(stderr);

    char text[64] = {};
    rewind(stream);
    const size_t read = fread(text, 1, sizeof text - 1, stream);
    fclose(stream);
    EXPECT_STREQ(std::string(text, read).c_str(), "to the stream 1\n");
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[1], "to nowhere");
}

TEST(LogStream, KeepsItsStartUnderTheSizeLimitAndSaysOnceThatLinesWereDropped) {
    FILE* stream = tmpfile();
    ASSERT_NE(stream, nullptr);
    RecordingLog log;
    set_log_stream(stream);
    set_log_size_limit(400);
    for (int line = 0; line < 100; ++line) log_message("line %03d of a flood", line);
    set_log_size_limit(kLogSizeLimit);
    set_log_stream(stderr);

    std::string text(1024, '\0');
    rewind(stream);
    text.resize(fread(&text[0], 1, text.size(), stream));
    fclose(stream);
    EXPECT_LE(text.size(), 400u);
    EXPECT_EQ(text.find("line 000 of a flood\nline 001"), 0u) << "the start is kept";
    const size_t note = text.find("log: the log reached its size limit");
    EXPECT_NE(note, std::string::npos) << text;
    EXPECT_EQ(text.find("log: the log reached", note + 1), std::string::npos) << "one note";
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(log.lines.size(), 100u) << "observers still see every line";
}
