#include "app/folder_watch.h"

#include <cstring>

#include "base/log.h"

static HANDLE change_handle = nullptr;

static void stop_watching() {
    if (change_handle) ::FindCloseChangeNotification(change_handle);
    change_handle = nullptr;
}

void watch_folder_of(const char* path) {
    stop_watching();
    if (!path) return;
    char folder[MAX_PATH];
    const char* last_separator = nullptr;
    for (const char* cursor = path; *cursor; ++cursor) {
        if (*cursor == '\\' || *cursor == '/') last_separator = cursor;
    }
    const size_t length = last_separator ? static_cast<size_t>(last_separator - path) : 0;
    if (length + 1 >= sizeof folder) return;
    if (length == 0) {
        // A bare file name lives in the working folder; "C:\x" in the root.
        strcpy(folder, last_separator ? "\\" : ".");
    } else {
        memcpy(folder, path, length);
        folder[length] = '\0';
        if (length == 2 && folder[1] == ':') strcat(folder, "\\");
    }
    change_handle = ::FindFirstChangeNotificationA(
        folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
    if (change_handle == INVALID_HANDLE_VALUE) {
        change_handle = nullptr;
        log_message("reload: cannot watch %s (error %lu)", folder, ::GetLastError());
    }
}

HANDLE folder_change_handle() { return change_handle; }

bool folder_changed() {
    if (!change_handle || ::WaitForSingleObject(change_handle, 0) != WAIT_OBJECT_0) return false;
    ::FindNextChangeNotification(change_handle);
    return true;
}
