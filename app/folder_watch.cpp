#include "app/folder_watch.h"

#include <cstdlib>
#include <cstring>

#include "base/log.h"
#include "base/text_encoding.h"

static HANDLE change_handle = nullptr;

static void stop_watching() {
    if (change_handle) ::FindCloseChangeNotification(change_handle);
    change_handle = nullptr;
}

// The folder part of `path` as a malloc'd text: a bare file name lives in
// the working folder, "C:\x" in the root.
static char* folder_of(const char* path) {
    const char* last_separator = nullptr;
    for (const char* cursor = path; *cursor; ++cursor) {
        if (*cursor == '\\' || *cursor == '/') last_separator = cursor;
    }
    const size_t length = last_separator ? static_cast<size_t>(last_separator - path) : 0;
    if (length == 0) return strdup(last_separator ? "\\" : ".");
    char* folder = static_cast<char*>(malloc(length + 2));
    if (!folder) return nullptr;
    memcpy(folder, path, length);
    folder[length] = '\0';
    if (length == 2 && folder[1] == ':') strcat(folder, "\\");
    return folder;
}

void watch_folder_of(const char* path) {
    stop_watching();
    if (!path) return;
    char* folder = folder_of(path);
    wchar_t* wide_folder = folder ? reinterpret_cast<wchar_t*>(utf16_from_utf8(folder, nullptr)) : nullptr;
    if (wide_folder) {
        change_handle = ::FindFirstChangeNotificationW(
            wide_folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
    }
    if (!wide_folder || change_handle == INVALID_HANDLE_VALUE) {
        change_handle = nullptr;
        log_message("reload: cannot watch %s (error %lu)", outside_text(folder).text, ::GetLastError());
    }
    free(wide_folder);
    free(folder);
}

HANDLE folder_change_handle() { return change_handle; }

bool folder_changed() {
    if (!change_handle || ::WaitForSingleObject(change_handle, 0) != WAIT_OBJECT_0) return false;
    ::FindNextChangeNotification(change_handle);
    return true;
}
