// The host flavour keeps the debugger copies, so the cut can be checked.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/debugger_output_host.h"
#include "tests/support/recording_log.h"

TEST(DebuggerCopy, IsCutAfter255CharactersWhileTheFileLineIsWhole) {
    clear_host_debugger_messages();
    RecordingLog log;
    const std::string text = std::string(250, 'a') + std::string(50, 'b');
    log_message("%s", text.c_str());
    ASSERT_EQ(host_debugger_message_count(), 1u);
    const std::string copy = host_debugger_message(0);
    EXPECT_EQ(copy.size(), 255u);
    EXPECT_EQ(copy, text.substr(0, 255));
    EXPECT_EQ(log.lines[0], text);
}

TEST(DebuggerCopy, KeepsTheFormatsOwnLineFeedButGetsNoneAdded) {
    clear_host_debugger_messages();
    log_message("pragma match: %s %s\n", "iChannel1", "BufferA");
    log_message("%s", "");
    ASSERT_EQ(host_debugger_message_count(), 2u);
    EXPECT_EQ(std::string(host_debugger_message(0)), "pragma match: iChannel1 BufferA\n");
    EXPECT_EQ(std::string(host_debugger_message(1)), "");
}

TEST(DebuggerCopy, ShortMessagesArriveUnchanged) {
    clear_host_debugger_messages();
    log_message("GL_VENDOR:%s", "Mesa");
    ASSERT_EQ(host_debugger_message_count(), 1u);
    EXPECT_EQ(std::string(host_debugger_message(0)), "GL_VENDOR:Mesa");
}

TEST(LogFile, LinesEndWithOneLineFeedAndLongOnesStayWhole) {
    char name[] = "/tmp/lumenfold-log-XXXXXX";
    const int descriptor = mkstemp(name);
    ASSERT_GE(descriptor, 0);
    FILE* saved = fdopen(dup(fileno(stderr)), "w");
    ASSERT_NE(freopen(name, "w", stderr), nullptr);

    log_message("%s", std::string(300, 'z').c_str());
    log_message("pragma match: %s %s\n", "iChannel0", "BufferB");

    fflush(stderr);
    ASSERT_NE(freopen("/dev/null", "w", stderr), nullptr);
    dup2(fileno(saved), fileno(stderr));
    fclose(saved);

    FILE* file = fopen(name, "rb");
    ASSERT_NE(file, nullptr);
    std::string content;
    char chunk[512];
    size_t read = 0;
    while ((read = fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, read);
    fclose(file);
    remove(name);

    EXPECT_EQ(content, std::string(300, 'z') + "\n" + "pragma match: iChannel0 BufferB\n\n");
}
