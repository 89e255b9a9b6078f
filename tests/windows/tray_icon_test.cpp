// The tray icon's record as the shell receives it.
#include <gtest/gtest.h>

#include <cwchar>

#include "app/tray_icon.h"

TEST(TrayIcon, TheTooltipIsUtf16SoItReadsRightUnderEveryCodePage) {
    const NOTIFYICONDATAW record = tray_icon_record(reinterpret_cast<HWND>(0x1234));
    // "双击退出程序": double-click to exit the program.
    const wchar_t expected[] = {'L', 'u', 'm', 'e', 'n', 'f', 'o', 'l', 'd', '_', 'V', 'e', 'l', 'v', 'e',
                                't', 'd', 'u', 's', 'k', '\n', 0x53CC, 0x51FB, 0x9000, 0x51FA, 0x7A0B, 0x5E8F, 0};
    EXPECT_EQ(wcscmp(record.szTip, expected), 0);
    EXPECT_EQ(record.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(record.hWnd, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(record.uID, 0u);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, static_cast<UINT>(WM_USER));
}
