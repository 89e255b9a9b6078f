#pragma once
// What the player's windows hear and the loop acts on. A window procedure
// only reports; the loop, which owns the player's life, takes each report
// after its message drain and does the work outside any window's message,
// where the GL context, the host window and the render targets may change.

enum PlayerEvent : unsigned {
    kEventExitWanted = 1u << 0,        // a double click, Exit, WM_CLOSE
    kEventHostWindowGone = 1u << 1,    // the desktop took the host window along
    kEventDesktopLookDue = 1u << 2,    // the desktop watch's timer
    kEventShellStarted = 1u << 3,      // "TaskbarCreated"
    kEventDisplaysChanged = 1u << 4,   // display, setting or DPI change, resume
};

void report_player_event(PlayerEvent event);
// True once for each event reported since the last take.
bool take_player_event(PlayerEvent event);
bool player_event_pending(PlayerEvent event);
