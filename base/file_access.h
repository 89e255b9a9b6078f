#pragma once
// Files by their UTF-8 names. On Windows the narrow C runtime calls read a
// name in the system's code page, which cannot say every name a user can
// give a folder; there the names go to the wide calls.

#include <cstdio>

// fopen with a UTF-8 name; null (and errno set) when it cannot be opened.
FILE* open_file(const char* path, const char* mode);

// True when something (a file or a folder) has that name.
bool file_exists(const char* path);

// remove with a UTF-8 name; true when it is gone.
bool remove_file(const char* path);
