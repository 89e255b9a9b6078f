#pragma once
// %APPDATA%\Lumenfold\lumenfold.ini, read with the system's profile
// functions. Section [player] is read at start-up and again whenever the
// file changes: the tray menu writes it, and a hand edit is picked up too.
// Section [pass_sets] remembers the sets chosen, for --resume: the key
// "all" for every monitor, a full UTF-8 path as value, empty for the
// built-in set. The file is kept in UTF-16 so that any path survives.

#include <windows.h>

#include "app/player_settings.h"

// The file in `folder` (UTF-8) rather than the user's application data:
// for tests, before anything else here.
void use_settings_folder(const char* folder);

// Reads the file (or the defaults) and starts watching its folder.
void start_settings_file();
void stop_settings_file();

const PlayerSettings& current_settings();

// Signalled when something in the settings' folder changed; null when the
// folder cannot be watched.
HANDLE settings_change_handle();
// Reads the file again after a change and applies what differs. Never waits.
void check_settings_file();

// Writes one value, as the tray menu does, and applies it at once.
void write_setting(const char* key, int value);

// The key of a set chosen for every monitor.
constexpr char kEveryMonitorKey[] = "all";

// What [pass_sets] remembers under `key`: a malloc'd UTF-8 path, "" for
// the built-in set; null when nothing is remembered.
char* remembered_pass_set(const char* key);
// Remembers the set (null: the built-in one) under `key`, as a full path.
// A monitor's own choice goes under the monitor's identity.
void remember_pass_set(const char* key, const char* path);
// Every monitor's own choice goes; the one for every monitor stays.
void forget_monitor_pass_sets();
// Each monitor's own choice: its identity and path (null: the built-in).
typedef void (*MonitorPassSetTaker)(const char* identity, const char* path, void* user);
void each_monitor_pass_set(MonitorPassSetTaker take, void* user);

// [playlist_positions]: the set a monitor's playlist plays (under its
// identity, or "all"), so --resume goes on from there. A playlist itself is
// remembered in [pass_sets] as its folder.
char* remembered_playlist_position(const char* key);
void remember_playlist_position(const char* key, const char* path);
