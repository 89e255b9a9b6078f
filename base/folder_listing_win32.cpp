#include "base/folder_listing.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/text_encoding.h"

static wchar_t* wide_name(const char* text) {
    return text ? reinterpret_cast<wchar_t*>(utf16_from_utf8(text, nullptr)) : nullptr;
}

// "folder\*", the pattern every name matches.
static wchar_t* pattern_of(const char* folder) {
    const size_t length = strlen(folder);
    char* pattern = static_cast<char*>(malloc(length + 3));
    if (!pattern) return nullptr;
    memcpy(pattern, folder, length);
    const bool separated = length > 0 && (folder[length - 1] == '\\' || folder[length - 1] == '/');
    strcpy(pattern + length, separated ? "*" : "\\*");
    wchar_t* wide = wide_name(pattern);
    free(pattern);
    return wide;
}

bool list_folder(const char* folder, FolderEntryTaker take, void* user) {
    wchar_t* pattern = folder ? pattern_of(folder) : nullptr;
    WIN32_FIND_DATAW found;
    HANDLE search = pattern ? ::FindFirstFileW(pattern, &found) : INVALID_HANDLE_VALUE;
    free(pattern);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
        char* name = utf8_from_utf16(reinterpret_cast<const uint16_t*>(found.cFileName), wcslen(found.cFileName));
        if (name) take(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, user);
        free(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return true;
}

bool is_folder(const char* path) {
    wchar_t* wide = wide_name(path);
    const DWORD attributes = wide ? ::GetFileAttributesW(wide) : INVALID_FILE_ATTRIBUTES;
    free(wide);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
