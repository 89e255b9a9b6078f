#pragma once
// The player rests while nobody can see it or the user wants it to: the
// wallpaper covered by a maximised or full-screen window, the session
// locked, the display off or dimmed, battery saver on, or paused from the
// tray. The system tells; nothing is polled per frame.

#include <windows.h>

#include "app/player_settings.h"

void start_pause_watch(HWND notification_window);
void stop_pause_watch();

// The foreground window or its place changed (and once a second anyway).
void check_cover();
void handle_session_change(WPARAM event);
// WM_POWERBROADCAST; true when it carried a setting the player follows.
bool handle_power_broadcast(WPARAM event, LPARAM data);

void toggle_pause_by_user();
void follow_pause_settings(const PlayerSettings& settings);
