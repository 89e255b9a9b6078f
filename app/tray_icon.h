#pragma once
// The notification-area icon: its tooltip says that a double click exits.

#include <windows.h>
#include <shellapi.h>

// The callback message the icon's events arrive with.
constexpr UINT kTrayCallbackMessage = WM_USER;

// The instance name, a line feed and "double-click to exit the program".
extern const wchar_t kTrayTooltip[];

// The icon's record for a window: identifier 0, the tooltip, the icon.
NOTIFYICONDATAW tray_icon_record(HWND window);

// Deletes an icon left under the same window and identifier, then adds it;
// also what a restarted taskbar needs.
void add_tray_icon(HWND window);
void remove_tray_icon(HWND window);
