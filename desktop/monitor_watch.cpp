#include "desktop/monitor_watch.h"

static MonitorList known = {0, {}};

void start_monitor_watch() {
    known = read_monitors();
    log_monitors(known);
}

MonitorChanges follow_monitors() {
    const MonitorList now = read_monitors();
    const MonitorChanges changes = compare_monitors(known, now);
    known = now;
    if (changes.differs) log_monitors(known);
    return changes;
}

const MonitorList& known_monitors() { return known; }
