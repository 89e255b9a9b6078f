#pragma once
// Brings the player to the monitors as last read and the layout the user
// set: the pictures' plan, a set for each picture, and the window over the
// part of the screen the plan covers, behind the icons or below every other
// window.

#include "app/monitor_layout.h"

// Returns how many sets it made: monitors that came, or a new layout.
int arrange_monitors(MonitorLayout layout);

// The layout the player arranged for last.
MonitorLayout arranged_layout();

// The identity of monitor `number` as the menu and `--monitor` count them
// (1: the primary), or null when there is no such monitor.
const char* identity_of_monitor(int number);
