#include "tests/support/unreadable_file.h"

#include <windows.h>

UnreadableFile::UnreadableFile(const std::string& file_path) : path(file_path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        path.clear();
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, "half a save", 11, &written, nullptr);
    handle = file;
}

UnreadableFile::~UnreadableFile() {
    if (!handle) return;
    ::CloseHandle(static_cast<HANDLE>(handle));
    ::DeleteFileA(path.c_str());
}
