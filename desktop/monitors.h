#pragma once
// The monitors as the player sees them, numbered as a user reads them: the
// primary is monitor 1, the others follow by position, left to right, then
// top to bottom. Numbers change when monitors come, go or move; a monitor's
// identity does not, so what is remembered for a monitor goes by identity.

constexpr int kMonitorLimit = 16;
constexpr int kMonitorDeviceNameSize = 64;
constexpr int kMonitorIdentitySize = 512;

struct Monitor {
    // In physical pixels, in screen coordinates: the primary's corner is the
    // origin, so a monitor left of or above it has negative ones.
    int x;
    int y;
    int width;
    int height;
    bool primary;
    int dpi;                                   // effective DPI, 0 where the system cannot tell
    char device_name[kMonitorDeviceNameSize];  // UTF-8, e.g. "\\.\DISPLAY2"
    // UTF-8: the monitor's device path, or its display device's name where
    // the system has no path for it.
    char identity[kMonitorIdentitySize];
};

// monitors[0] is monitor 1.
struct MonitorList {
    int count;
    Monitor monitors[kMonitorLimit];
};

// Puts the list in the users' order; monitors past the limit are dropped.
void number_monitors(MonitorList* list);

// The index of the monitor with that identity, or -1.
int find_monitor(const MonitorList& list, const char* identity);

// What changed between two readings, as indices into the list named.
struct MonitorChanges {
    bool differs;  // the set of monitors, their numbers or their places
    int connected_count;
    int connected[kMonitorLimit];  // into the new list
    int disconnected_count;
    int disconnected[kMonitorLimit];  // into the old list
    int resized_count;
    int resized[kMonitorLimit];  // into the new list
};

MonitorChanges compare_monitors(const MonitorList& old_list, const MonitorList& new_list);

// "monitors: N", then "monitor K: W H at X Y[ primary] IDENTITY" for each.
void log_monitors(const MonitorList& list);

// Where readings come from. Tests present any layout through it.
typedef MonitorList (*MonitorSource)();
void set_monitor_source(MonitorSource source);  // null: the system's

// The monitors now, numbered.
MonitorList read_monitors();

// The system's monitors in the order it lists them; each platform has its
// own.
MonitorList read_system_monitors();
