#pragma once
// A hidden top-level window of the player's own. It owns the tray icon and
// hears what only top-level windows hear: the taskbar's restart, display and
// setting changes; it also keeps the desktop watch's timer.

#include <windows.h>

bool register_notification_window_class(HINSTANCE instance);
void unregister_notification_window_class(HINSTANCE instance);
HWND create_notification_window(HINSTANCE instance);

// Ends the player: the tray icon goes, and the loop ends after its drain.
void close_player();
bool player_closing();

// Has the desktop watch look at the desktop right after the current message.
void watch_desktop_soon();
