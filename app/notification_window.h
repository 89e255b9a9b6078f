#pragma once
// A hidden top-level window of the player's own. It owns the tray icon and
// hears what only top-level windows hear: the taskbar's restart, display and
// setting changes, session and power notifications; it also keeps the
// desktop watch's timer. What it hears it reports to the loop.

#include <windows.h>

bool register_notification_window_class(HINSTANCE instance);
void unregister_notification_window_class(HINSTANCE instance);
HWND create_notification_window(HINSTANCE instance);
// Takes the tray icon along.
void destroy_notification_window(HWND window);

// The desktop watch's next look comes in `milliseconds`.
void arm_desktop_watch_timer(HWND window, unsigned milliseconds);
