#include "app/forwarded_path.h"

#include <cstdlib>
#include <cstring>

char* copy_forwarded_path(const void* data, size_t size) {
    if (!data || size == 0) return nullptr;
    const void* terminator = memchr(data, '\0', size);
    const size_t length =
        terminator ? static_cast<size_t>(static_cast<const char*>(terminator) - static_cast<const char*>(data)) : size;
    char* path = static_cast<char*>(malloc(length + 1));
    if (!path) return nullptr;
    memcpy(path, data, length);
    path[length] = '\0';
    return path;
}
