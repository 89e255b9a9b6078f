#include "app/startup_entry_win32.h"

#include <windows.h>

#include <cstdlib>

#include "app/startup_entry.h"
#include "base/log.h"
#include "base/text_encoding.h"

static const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
static const wchar_t kValueName[] = L"Lumenfold";

static bool value_present(const wchar_t* key) {
    return ::RegGetValueW(HKEY_CURRENT_USER, key, kValueName, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool start_with_windows_now() {
    StartupRecords records = {value_present(kRunKey), false, nullptr, 0};
    uint8_t approved[64];
    DWORD size = sizeof approved;
    const LSTATUS read =
        ::RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kValueName, RRF_RT_REG_BINARY, nullptr, approved, &size);
    // A record longer than any the shell writes still says what its first
    // byte says.
    if (read == ERROR_SUCCESS || read == ERROR_MORE_DATA) {
        records.approved_present = true;
        records.approved = approved;
        records.approved_size = read == ERROR_SUCCESS ? size : sizeof approved;
    }
    return starts_with_windows(records);
}

static char* this_executable() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return utf8_from_utf16(reinterpret_cast<const uint16_t*>(path), length);
}

static LSTATUS write_value(const wchar_t* key_path, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    LSTATUS status =
        ::RegCreateKeyExW(HKEY_CURRENT_USER, key_path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = ::RegSetValueExW(key, kValueName, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    return status;
}

static LSTATUS delete_value(const wchar_t* key_path) {
    const LSTATUS status = ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_path, kValueName);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

static bool start_at_logon() {
    char* executable = this_executable();
    char* value = executable ? run_value_for(executable) : nullptr;
    size_t units = 0;
    uint16_t* wide = value ? utf16_from_utf8(value, &units) : nullptr;
    LSTATUS status = ERROR_OUTOFMEMORY;
    if (wide) status = write_value(kRunKey, REG_SZ, wide, static_cast<DWORD>((units + 1) * sizeof(uint16_t)));
    // Checking the item is the user's wish to start again, over a "disabled"
    // that Task Manager wrote.
    if (status == ERROR_SUCCESS) {
        status = write_value(kApprovedKey, REG_BINARY, kStartupApprovedEnabled, kStartupApprovedSize);
    }
    if (status == ERROR_SUCCESS) {
        log_message("Start with Windows: on, %s", outside_text(value).text);
    } else {
        log_message("Start with Windows: the Run value could not be written (error %ld)", static_cast<long>(status));
    }
    free(wide);
    free(value);
    free(executable);
    return status == ERROR_SUCCESS;
}

static bool start_by_hand() {
    LSTATUS status = delete_value(kRunKey);
    if (status == ERROR_SUCCESS) status = delete_value(kApprovedKey);
    if (status == ERROR_SUCCESS) {
        log_message("Start with Windows: off");
    } else {
        log_message("Start with Windows: the Run value could not be removed (error %ld)", static_cast<long>(status));
    }
    return status == ERROR_SUCCESS;
}

bool set_start_with_windows(bool start) { return start ? start_at_logon() : start_by_hand(); }
