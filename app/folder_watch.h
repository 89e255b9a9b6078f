#pragma once
// The system's change notification for the folder a pass set lives in.

#include <windows.h>

// Watches the folder of the file at `path`; null stops watching.
void watch_folder_of(const char* path);
// Signalled when something in the folder changed; null when nothing is
// watched.
HANDLE folder_change_handle();
// True once after each change; never waits.
bool folder_changed();
