#pragma once
// The borderless window that GL draws into and the tray icon it owns.

#include <windows.h>

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void install_tray_icon(HWND window);

// True when a path was forwarded before the render pipeline existed; hands
// over the latest such path (null for the built-in pass set), to be freed.
bool take_path_forwarded_before_ready(char** path);

bool register_host_window_class(HINSTANCE instance);
HWND create_host_window(HINSTANCE instance);
