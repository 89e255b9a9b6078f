#pragma once
// The borderless window that GL draws into and the tray icon it owns.

#include <windows.h>

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void install_tray_icon(HWND window);

bool register_host_window_class(HINSTANCE instance);
HWND create_host_window(HINSTANCE instance);
