// The version probe asks the real system; Wine reports Windows 10 unless the
// prefix says otherwise.
#include <gtest/gtest.h>

#include <windows.h>

#include "desktop/proc_address.h"
#include "desktop/windows_version.h"

static bool reported_version_at_least(unsigned major, unsigned minor) {
    typedef LONG(WINAPI * RtlGetVersionProc)(OSVERSIONINFOW*);
    RtlGetVersionProc get_version =
        find_proc_address<RtlGetVersionProc>(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    OSVERSIONINFOW info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!get_version || get_version(&info) != 0) return false;
    return info.dwMajorVersion > major || (info.dwMajorVersion == major && info.dwMinorVersion >= minor);
}

TEST(WindowsVersion, AgreesWithTheVersionTheSystemReports) {
    const unsigned pairs[][2] = {{5, 1}, {6, 0}, {6, 1}, {6, 2}, {6, 3}, {10, 0}, {10, 1}, {11, 0}, {99, 0}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(is_windows_version_at_least(pair[0], pair[1]), reported_version_at_least(pair[0], pair[1]))
            << pair[0] << "." << pair[1];
    }
}

static void reported_version(unsigned* major, unsigned* minor) {
    *major = 0;
    *minor = 0;
    while (reported_version_at_least(*major + 1, 0)) ++*major;
    while (reported_version_at_least(*major, *minor + 1)) ++*minor;
}

TEST(WindowsVersion, MajorIsComparedBeforeMinor) {
    unsigned major = 0;
    unsigned minor = 0;
    reported_version(&major, &minor);
    ASSERT_GE(major, 1u);
    EXPECT_TRUE(is_windows_version_at_least(major, minor));
    EXPECT_FALSE(is_windows_version_at_least(major, minor + 1));
    // A lower major wins whatever its minor says.
    EXPECT_TRUE(is_windows_version_at_least(major - 1, minor + 9));
    EXPECT_FALSE(is_windows_version_at_least(major + 1, 0));
}
