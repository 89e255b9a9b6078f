// The desktop layer against the real window manager. Only the null window is
// tried here: every other call may wait for Explorer, and the layouts
// are the end-to-end tests' business, with a fake shell.
#include <gtest/gtest.h>

#include <windows.h>

#include "desktop/desktop_layer.h"
#include "tests/support/recording_log.h"

TEST(DesktopLayer, NullWindowReturnsAtOnceLoggingNothing) {
    RecordingLog log;
    const DWORD start = ::GetTickCount();
    attach_to_desktop(nullptr);
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_TRUE(log.lines.empty()) << log.joined();
    // A shell that builds no workers would be waited for two seconds.
    EXPECT_LT(elapsed, 500u);
}
