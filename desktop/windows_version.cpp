#include "desktop/windows_version.h"

#include <windows.h>

#include "desktop/proc_address.h"

typedef LONG(WINAPI* RtlVerifyVersionInfoProc)(OSVERSIONINFOEXW*, ULONG, ULONGLONG);

static RtlVerifyVersionInfoProc rtl_verify_version_info = nullptr;

static void find_rtl_verify_version_info() {
    // NOTE: ntdll is in every process; it is only found here, never loaded.
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    if (!ntdll) return;
    rtl_verify_version_info = find_proc_address<RtlVerifyVersionInfoProc>(ntdll, "RtlVerifyVersionInfo");
}

bool is_windows_version_at_least(unsigned major, unsigned minor) {
    if (!rtl_verify_version_info) find_rtl_verify_version_info();
    if (!rtl_verify_version_info) return false;

    OSVERSIONINFOEXW wanted;
    ZeroMemory(&wanted, sizeof wanted);
    wanted.dwOSVersionInfoSize = sizeof wanted;
    wanted.dwMajorVersion = static_cast<WORD>(major);
    wanted.dwMinorVersion = static_cast<WORD>(minor);

    ULONGLONG condition = 0;
    condition = ::VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);

    return rtl_verify_version_info(&wanted, VER_MAJORVERSION | VER_MINORVERSION, condition) == 0;
}
