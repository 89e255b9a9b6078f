#pragma once
// Keeps the player on the desktop for as long as it runs: when the shell
// ends (Explorer restarts, crashes, rebuilds its desktop after sleep) the
// host window goes with it; the player then waits, drawing nothing, with a
// hidden stand-in window that a later start still finds, and attaches again
// once a shell is back. The GL context and everything in it live on.

#include <windows.h>

#include "desktop/desktop_layer.h"

enum class WithoutDesktop {
    StayTopLevel,  // draw in a pop-up, as a player started by hand does
    WaitHidden,    // wait, drawing nothing, as after a lost desktop; the window is hidden
};

void start_desktop_watch(HINSTANCE instance, HWND host_window, const DesktopAttachment& attachment,
                         WithoutDesktop without_desktop);

// The window GL draws into now.
HWND current_host_window();
// False while no desktop is there to draw on.
bool desktop_allows_drawing();

// About once a second: is the desktop still there, or back?
void watch_desktop();
// The host window was destroyed, and not by the player; a look follows.
void notice_host_window_gone();
// "TaskbarCreated": a shell started, or the taskbar was only rebuilt.
void notice_shell_started();
// The displays or the pictures' plan changed: the window goes over the
// screen it covers again.
void follow_screen();
// How often the watch wants to look, in milliseconds.
unsigned desktop_watch_interval_ms();
// After each presented frame: reports how long a return to the desktop took.
void note_frame_presented();

// At the end: the wallpaper worker the player hid is shown again.
void leave_desktop_as_it_was();
