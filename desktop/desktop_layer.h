#pragma once
// Moves the host window into the desktop's wallpaper layer, behind the
// icons, and sizes it to the primary screen; notices when the desktop it
// lives in is gone, and leaves the desktop as it was when the player ends.

#include <windows.h>

enum class DesktopLayout {
    None,     // no desktop found: the window stays where it is
    Classic,  // icons in a worker window, the wallpaper worker hidden
    Raised,   // icons and wallpaper worker inside the program manager
};

struct DesktopAttachment {
    DesktopLayout layout;
    HWND program_manager;
    HWND icon_view;
    HWND hidden_worker;  // the wallpaper worker the attachment hid, if any
};

// Logs every step; the player runs on whatever the outcome.
DesktopAttachment attach_to_desktop(HWND window);

// True once a shell has built its desktop far enough to attach to: a program
// manager with an icon view. Logs nothing.
bool desktop_shell_ready();

// False once the window, the program manager or the parenthood is gone.
// Always true for a window that never attached.
bool attachment_intact(HWND window, const DesktopAttachment& attachment);

// Places an attached window over the screen it covers as it is now.
void place_over_covered_screen(HWND window, const DesktopAttachment& attachment);

// Shows the wallpaper worker again, so the desktop picture comes back.
void restore_wallpaper_worker(const DesktopAttachment& attachment);

// The primary screen in screen coordinates. Tests replace where it comes
// from, since the displays of a test bench cannot change at will.
struct ScreenRect {
    int x;
    int y;
    int width;
    int height;
};
typedef ScreenRect (*PrimaryScreenSource)();
void set_primary_screen_source(PrimaryScreenSource source);  // null: the system's
ScreenRect primary_screen_rect();

// What an attached window covers: the primary screen, or the rectangle the
// player's pictures need (every monitor). Null: the primary screen again.
void cover_screen_rect(const ScreenRect* rect);
ScreenRect covered_screen_rect();

// A window that found no desktop covers the given part of the screen from
// below every other window, as it would from behind the icons.
void place_below_other_windows(HWND window, const ScreenRect& screen);
