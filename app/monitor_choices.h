#pragma once
// What the user chose for single monitors, by the monitor's identity, so a
// monitor that is unplugged and plugged back, or renumbered by a dock, gets
// its own set again. A choice for every monitor clears them.

// `path` null: the built-in set.
void remember_monitor_choice(const char* identity, const char* path);
void forget_monitor_choices();

// True when the monitor has a choice of its own; `*path` is then its path
// (null for the built-in), valid until the choices change.
bool monitor_choice(const char* identity, const char** path);
