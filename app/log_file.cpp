#include "app/log_file.h"

#include <windows.h>
#include <shlobj.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "app/instance_name.h"
#include "base/log.h"
#include "base/text_encoding.h"

static wchar_t log_path[MAX_PATH] = L"";

static char* utf8_of(const wchar_t* wide) {
    return utf8_from_utf16(reinterpret_cast<const uint16_t*>(wide), wcslen(wide));
}

// Tried before the stream moves, so a failure can still be said where the
// stream goes now; errno tells why.
static bool writable(const wchar_t* path) {
    FILE* trial = _wfopen(path, L"w");
    if (!trial) return false;
    fclose(trial);
    return true;
}

static bool reopen_stderr_onto(const wchar_t* path) {
    if (!_wfreopen(path, L"w", stderr)) return false;
    // The size limit counts from the start of this file.
    set_log_stream(stderr);
    if (!::GetFullPathNameW(path, MAX_PATH, log_path, nullptr)) wcsncpy(log_path, path, MAX_PATH - 1);
    return true;
}

static bool local_fallback_path(wchar_t* path) {
    PWSTR local = nullptr;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) return false;
    wchar_t folder[MAX_PATH];
    _snwprintf(folder, MAX_PATH, L"%ls\\Lumenfold", local);
    folder[MAX_PATH - 1] = L'\0';
    ::CoTaskMemFree(local);
    ::CreateDirectoryW(folder, nullptr);
    const int written = _snwprintf(path, MAX_PATH, L"%ls\\%hs", folder, kLogFileName);
    path[MAX_PATH - 1] = L'\0';
    return written > 0 && written < MAX_PATH;
}

bool open_log_file() {
    wchar_t here[MAX_PATH];
    _snwprintf(here, MAX_PATH, L"%hs", kLogFileName);
    here[MAX_PATH - 1] = L'\0';
    if (writable(here)) return reopen_stderr_onto(here);

    const char* reason = strerror(errno);
    char* reason_copy = strdup(reason ? reason : "unknown");
    wchar_t fallback[MAX_PATH];
    const bool fallback_known = local_fallback_path(fallback);
    if (!fallback_known || !writable(fallback) || !reopen_stderr_onto(fallback)) {
        log_message("cannot write the log file %s (%s), nor one in the local application data", kLogFileName,
                    reason_copy);
        free(reason_copy);
        return false;
    }
    char* shown = utf8_of(log_path);
    log_message("log: the working folder's %s cannot be written (%s), so the log is %s", kLogFileName, reason_copy,
                outside_text(shown).text);
    free(shown);
    free(reason_copy);
    return true;
}

void close_log_file() { fclose(stderr); }

const wchar_t* log_file_path() { return log_path; }
