#pragma once
// The monitors the player last read: one desk per process. Every reading
// that differs from the one before is logged.

#include "desktop/monitors.h"

// Reads the monitors and logs them; the player starts with it.
void start_monitor_watch();

// Reads them again; what changed since the last reading comes back, and is
// logged when the set or a place changed.
MonitorChanges follow_monitors();

const MonitorList& known_monitors();
