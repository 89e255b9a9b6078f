#pragma once
// Brings the player to the monitors as last read and the layout the user
// set: the pictures' plan, a set for each picture, and the window over the
// screen the plan covers.

#include "app/monitor_layout.h"

// Behind the icons the window covers what the plan needs; a top-level
// window keeps its own size and plays one picture over it.
void arrange_monitors(MonitorLayout layout, bool attached);

// The layout the player arranged for last, and whether behind the icons.
MonitorLayout arranged_layout();
bool arranged_for_attached();

// The identity of monitor `number` as the menu and `--monitor` count them
// (1: the primary), or null when there is no such monitor.
const char* identity_of_monitor(int number);
