#pragma once
// The player's loop: messages, what the windows reported, pass sets asked
// for, frames. It owns the player's life: windows only report to it.

#include <windows.h>

enum class FirstPassSet {
    Chosen,   // named on the command line (or none: the built-in set)
    Resumed,  // remembered; one that does not build gives way to the built-in set
};

// The argument's pass set, unless a later start got through during start-up
// and asked for a newer one. A chosen path is remembered once it plays.
void install_first_pass_set(const char* argument_path, FirstPassSet kind);

// Runs until the player closes. Never waits while it draws: presentation
// sets the pace. While nothing may be drawn it blocks in a message wait.
void run_main_loop(HWND notification_window);
