#include "app/settings_file.h"

#include <shlobj.h>

#include <cstdio>

#include "app/settings_apply.h"
#include "base/log.h"

static const wchar_t kSection[] = L"player";
// Stands for a key that is not in the file: no value a person writes.
static const wchar_t kMissing[] = L"\x01";

static wchar_t folder_path[MAX_PATH] = L"";
static wchar_t file_path[MAX_PATH] = L"";
static HANDLE change_handle = nullptr;
static PlayerSettings settings = kDefaultPlayerSettings;

static bool find_settings_path() {
    PWSTR roaming = nullptr;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) return false;
    _snwprintf(folder_path, MAX_PATH, L"%ls\\Lumenfold", roaming);
    _snwprintf(file_path, MAX_PATH, L"%ls\\lumenfold.ini", folder_path);
    folder_path[MAX_PATH - 1] = file_path[MAX_PATH - 1] = L'\0';
    ::CoTaskMemFree(roaming);
    return true;
}

// The value's text in the file, or null for a missing key. One unit more
// than a value may hold tells an over-long value from one that fits.
static const char* text_in_file(const char* key, void* user) {
    SettingText8* out = static_cast<SettingText8*>(user);
    wchar_t wide_key[64];
    _snwprintf(wide_key, 64, L"%hs", key);
    wide_key[63] = L'\0';
    wchar_t value[kSettingTextLimit + 2];
    const DWORD count = ::GetPrivateProfileStringW(kSection, wide_key, kMissing, value, kSettingTextLimit + 2, file_path);
    if (count == 1 && value[0] == kMissing[0]) return nullptr;
    return setting_text_from_utf16(reinterpret_cast<const uint16_t*>(value), count, out);
}

static PlayerSettings read_settings_file() {
    if (!file_path[0]) return kDefaultPlayerSettings;
    SettingText8 scratch;
    return read_player_settings(text_in_file, &scratch);
}

static void watch_folder() {
    if (!folder_path[0]) return;
    ::CreateDirectoryW(folder_path, nullptr);
    change_handle = ::FindFirstChangeNotificationW(folder_path, FALSE,
                                                   FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_FILE_NAME);
    if (change_handle == INVALID_HANDLE_VALUE) change_handle = nullptr;
}

void start_settings_file() {
    if (!find_settings_path()) log_message("settings: no folder for application data; the defaults are used");
    watch_folder();
    settings = read_settings_file();
    apply_settings(settings);
}

void stop_settings_file() {
    if (change_handle) ::FindCloseChangeNotification(change_handle);
    change_handle = nullptr;
}

const PlayerSettings& current_settings() { return settings; }

HANDLE settings_change_handle() { return change_handle; }

static void reread_settings() {
    const PlayerSettings read = read_settings_file();
    if (same_settings(read, settings)) return;
    settings = read;
    apply_settings(settings);
}

void check_settings_file() {
    if (!change_handle || ::WaitForSingleObject(change_handle, 0) != WAIT_OBJECT_0) return;
    ::FindNextChangeNotification(change_handle);
    reread_settings();
}

void write_setting(const char* key, int value) {
    wchar_t wide_key[64];
    ::MultiByteToWideChar(CP_UTF8, 0, key, -1, wide_key, 64);
    wchar_t text[16];
    _snwprintf(text, 16, L"%d", value);
    text[15] = L'\0';
    if (!file_path[0] || !::WritePrivateProfileStringW(kSection, wide_key, text, file_path)) {
        log_message("settings: %s=%d could not be written (error %lu)", key, value, ::GetLastError());
    }
    reread_settings();
}
