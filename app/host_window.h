#pragma once
// The borderless window GL draws into. It lives in the desktop's wallpaper
// layer, so the desktop's end can take it along; then a new one takes over.

#include <windows.h>

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

bool register_host_window_class(HINSTANCE instance);
void unregister_host_window_class(HINSTANCE instance);

// The first window: visible, the initial size, at the origin.
HWND create_host_window(HINSTANCE instance);
// A stand-in while no desktop is there: the same class and title, so a
// later start still finds it, but hidden and never activated.
HWND create_hidden_host_window(HINSTANCE instance);

// Destroying the window on purpose (teardown, a replacement) is not the
// desktop taking it away.
void destroy_host_window(HWND window);
