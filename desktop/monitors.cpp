#include "desktop/monitors.h"

#include <algorithm>
#include <cstring>

#include "base/log.h"

static MonitorSource monitor_source = nullptr;

void set_monitor_source(MonitorSource source) { monitor_source = source; }

MonitorList read_monitors() {
    MonitorList list = monitor_source ? monitor_source() : read_system_monitors();
    number_monitors(&list);
    return list;
}

// The primary first, then by the left edge, then by the top edge; the device
// name only settles monitors that mirror each other, so the order never
// depends on how the system happened to list them.
static bool comes_before(const Monitor& a, const Monitor& b) {
    if (a.primary != b.primary) return a.primary;
    if (a.x != b.x) return a.x < b.x;
    if (a.y != b.y) return a.y < b.y;
    return strcmp(a.device_name, b.device_name) < 0;
}

void number_monitors(MonitorList* list) {
    list->count = std::max(0, std::min(list->count, kMonitorLimit));
    std::sort(list->monitors, list->monitors + list->count, comes_before);
}

int find_monitor(const MonitorList& list, const char* identity) {
    for (int index = 0; index < list.count; ++index) {
        if (strcmp(list.monitors[index].identity, identity) == 0) return index;
    }
    return -1;
}

static bool same_place(const Monitor& a, const Monitor& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.primary == b.primary;
}

MonitorChanges compare_monitors(const MonitorList& old_list, const MonitorList& new_list) {
    MonitorChanges changes;
    memset(&changes, 0, sizeof changes);
    changes.differs = old_list.count != new_list.count;
    for (int index = 0; index < new_list.count; ++index) {
        const Monitor& monitor = new_list.monitors[index];
        const int old_index = find_monitor(old_list, monitor.identity);
        if (old_index < 0) {
            changes.connected[changes.connected_count++] = index;
            changes.differs = true;
            continue;
        }
        const Monitor& before = old_list.monitors[old_index];
        if (before.width != monitor.width || before.height != monitor.height) {
            changes.resized[changes.resized_count++] = index;
        }
        if (old_index != index || !same_place(before, monitor)) changes.differs = true;
    }
    for (int index = 0; index < old_list.count; ++index) {
        if (find_monitor(new_list, old_list.monitors[index].identity) >= 0) continue;
        changes.disconnected[changes.disconnected_count++] = index;
        changes.differs = true;
    }
    return changes;
}

void log_monitors(const MonitorList& list) {
    log_message("monitors: %d", list.count);
    for (int index = 0; index < list.count; ++index) {
        const Monitor& monitor = list.monitors[index];
        log_message("monitor %d: %d %d at %d %d%s %s", index + 1, monitor.width, monitor.height, monitor.x, monitor.y,
                    monitor.primary ? " primary" : "", outside_text(monitor.identity).text);
    }
}
