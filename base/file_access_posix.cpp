// The system takes UTF-8 names as they are.
#include "base/file_access.h"

#include <sys/stat.h>

FILE* open_file(const char* path, const char* mode) { return path && mode ? fopen(path, mode) : nullptr; }

bool file_exists(const char* path) {
    struct stat status;
    return path && stat(path, &status) == 0;
}

bool remove_file(const char* path) { return path && remove(path) == 0; }
