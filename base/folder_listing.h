#pragma once
// The names in one folder, by UTF-8 names on every platform (on Windows the
// wide calls, as for files).

// Called for every entry but "." and ".."; `name` is the bare name.
typedef void (*FolderEntryTaker)(const char* name, bool is_folder, void* user);
// False when the folder cannot be read.
bool list_folder(const char* folder, FolderEntryTaker take, void* user);

// True when a folder (not a file) has that name.
bool is_folder(const char* path);
