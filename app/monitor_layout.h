#pragma once
// Where the player's pictures go on a desk of monitors: one per monitor, one
// across all of them, one copied onto each, or the primary's alone. Plain
// arithmetic over the monitors' rectangles, so every desk can be tested.

constexpr int kMostMonitors = 16;

enum class MonitorLayout {
    Each,       // every monitor plays a set of its own at its own size
    Span,       // one picture over the rectangle around every monitor
    Duplicate,  // the primary's picture, scaled to cover every other monitor
    Primary,    // the primary monitor alone
};

// Null for an unknown name.
const char* monitor_layout_name(MonitorLayout layout);
bool monitor_layout_from_name(const char* name, MonitorLayout* layout);

// Screen coordinates in physical pixels: y grows downwards and the primary
// monitor's top-left corner is (0, 0), so others may sit at negative ones.
struct MonitorRect {
    int x;
    int y;
    int width;
    int height;
    bool primary;
};

// A rectangle of the window in GL's terms: pixels from its bottom-left.
struct WindowPlace {
    int x;
    int y;
    int width;
    int height;
};

struct PicturePlan {
    // The window, in screen coordinates.
    int window_x;
    int window_y;
    int window_width;
    int window_height;
    // One playing set per picture, drawn at its place.
    int picture_count;
    WindowPlace pictures[kMostMonitors];
    // The monitor each picture belongs to, or -1 for one across all.
    int monitor_of_picture[kMostMonitors];
    // Duplicate only: where the first picture is shown again, cropped to
    // cover each place with its own proportions.
    int copy_count;
    WindowPlace copies[kMostMonitors];
    // No monitors were known: the one picture follows the window's size.
    bool follows_window;
};

// No monitors (a desk the system could not read) plans one picture over
// `fallback`. The primary is the first monitor marked so, or the first.
PicturePlan plan_pictures(MonitorLayout layout, const MonitorRect* monitors, int count, const MonitorRect& fallback);

// The part of a source_width × source_height picture that covers a place of
// the given size, centred, keeping the source's pixels square.
WindowPlace cover_crop(int source_width, int source_height, int width, int height);
