#include "app/tray_icon.h"

static_assert(sizeof(NOTIFYICONDATAW) == 976, "the shell expects the full 64-bit record");

// Written as UTF-16 so the phrase reads right whatever code page the system
// uses: 双击退出程序.
const wchar_t kTrayTooltip[] = L"Lumenfold_Velvetdusk\n\u53CC\u51FB\u9000\u51FA\u7A0B\u5E8F";
static_assert(sizeof kTrayTooltip / sizeof kTrayTooltip[0] <= 128, "the tooltip fits the record");

NOTIFYICONDATAW tray_icon_record(HWND window) {
    NOTIFYICONDATAW record;
    ZeroMemory(&record, sizeof record);
    record.cbSize = sizeof record;
    record.hWnd = window;
    record.uID = 0;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(0));
    ::lstrcpynW(record.szTip, kTrayTooltip, sizeof record.szTip / sizeof record.szTip[0]);
    return record;
}

void add_tray_icon(HWND window) {
    NOTIFYICONDATAW record = tray_icon_record(window);
    // An icon left behind under the same window and id would otherwise
    // make the add fail or show twice.
    ::Shell_NotifyIconW(NIM_DELETE, &record);
    ::Shell_NotifyIconW(NIM_ADD, &record);
}

void remove_tray_icon(HWND window) {
    NOTIFYICONDATAW record = tray_icon_record(window);
    ::Shell_NotifyIconW(NIM_DELETE, &record);
}
