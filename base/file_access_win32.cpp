// Names go to the C runtime's wide calls as UTF-16.
#include "base/file_access.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>

#include "base/text_encoding.h"

static wchar_t* wide_name(const char* text) {
    static_assert(sizeof(wchar_t) == sizeof(uint16_t), "Windows speaks UTF-16");
    return text ? reinterpret_cast<wchar_t*>(utf16_from_utf8(text, nullptr)) : nullptr;
}

FILE* open_file(const char* path, const char* mode) {
    wchar_t* wide_path = wide_name(path);
    wchar_t* wide_mode = wide_name(mode);
    FILE* file = wide_path && wide_mode ? _wfopen(wide_path, wide_mode) : nullptr;
    free(wide_mode);
    free(wide_path);
    return file;
}

bool file_exists(const char* path) {
    wchar_t* wide_path = wide_name(path);
    struct _stat64 status;
    const bool exists = wide_path && _wstat64(wide_path, &status) == 0;
    free(wide_path);
    return exists;
}

bool remove_file(const char* path) {
    wchar_t* wide_path = wide_name(path);
    const bool removed = wide_path && _wremove(wide_path) == 0;
    free(wide_path);
    return removed;
}
