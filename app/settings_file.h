#pragma once
// %APPDATA%\Lumenfold\lumenfold.ini, section [player], read with the
// system's profile functions at start-up and again whenever the file
// changes: the tray menu writes it, and a hand edit is picked up too.

#include <windows.h>

#include "app/player_settings.h"

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
