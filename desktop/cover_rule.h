#pragma once
// When the wallpaper counts as covered: the decision apart from the window
// manager, so every case can be tried.

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// What the window manager says about the foreground window.
struct ForegroundFacts {
    // Something that can hide the desktop: there is a foreground window, it
    // is visible, not minimised, not cloaked, neither the player's own nor
    // one of the shell's desktop or taskbar windows.
    bool can_cover;
    bool maximised;
    // The monitor the window is on, as the window manager decides it.
    PixelRect monitor;
    PixelRect rect;
};

// Maximised on that monitor, or over at least 90 % of it.
bool foreground_covers(const ForegroundFacts& facts, const PixelRect& monitor);

// The shell's user notification state says a full-screen application or a
// presentation runs. Its "busy" state also comes without one, so it is not
// taken as covering by itself.
bool notification_state_covers(int state);

// Window classes of the shell that are part of the desktop, never a cover.
bool is_shell_desktop_class(const char* class_name);
