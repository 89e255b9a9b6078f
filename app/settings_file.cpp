#include "app/settings_file.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/settings_apply.h"
#include "base/log.h"
#include "base/text_encoding.h"

static const wchar_t kSection[] = L"player";
static const wchar_t kPassSetSection[] = L"pass_sets";
static const wchar_t kPlaylistPositionSection[] = L"playlist_positions";
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

void use_settings_folder(const char* folder) {
    uint16_t* wide = utf16_from_utf8(folder, nullptr);
    if (!wide) return;
    _snwprintf(folder_path, MAX_PATH, L"%ls", reinterpret_cast<const wchar_t*>(wide));
    _snwprintf(file_path, MAX_PATH, L"%ls\\lumenfold.ini", folder_path);
    folder_path[MAX_PATH - 1] = file_path[MAX_PATH - 1] = L'\0';
    free(wide);
}

void start_settings_file() {
    if (!file_path[0] && !find_settings_path()) {
        log_message("settings: no folder for application data; the defaults are used");
    }
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

// NOTE: the profile functions write a file in the system code page unless
// it already starts with a UTF-16LE byte order mark; only then does a path
// outside that code page survive. A file without one (written by hand or by
// an earlier player) is converted once, read as UTF-8 where it is valid
// UTF-8 and in the code page otherwise.
static bool valid_utf8(const char* bytes, int size) {
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0) > 0 || size == 0;
}

static bool write_whole_file(const wchar_t* path, const void* bytes, DWORD size) {
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool done = ::WriteFile(file, bytes, size, &written, nullptr) && written == size;
    ::CloseHandle(file);
    return done;
}

static char* read_whole_file(const wchar_t* path, DWORD* size) {
    *size = 0;
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    const DWORD length = ::GetFileSize(file, nullptr);
    char* bytes = length != INVALID_FILE_SIZE ? static_cast<char*>(malloc(length + 1)) : nullptr;
    DWORD read = 0;
    if (bytes && (!::ReadFile(file, bytes, length, &read, nullptr) || read != length)) {
        free(bytes);
        bytes = nullptr;
    }
    ::CloseHandle(file);
    *size = length;
    return bytes;
}

static bool make_file_unicode() {
    DWORD size = 0;
    char* bytes = read_whole_file(file_path, &size);
    if (bytes && size >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        free(bytes);
        return true;
    }
    const char* text = bytes ? bytes : "";
    int length = bytes ? static_cast<int>(size) : 0;
    const bool utf8_mark = length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0;
    if (utf8_mark) {
        text += 3;
        length -= 3;
    }
    const UINT code_page = utf8_mark || valid_utf8(text, length) ? CP_UTF8 : CP_ACP;
    const int units = length > 0 ? ::MultiByteToWideChar(code_page, 0, text, length, nullptr, 0) : 0;
    wchar_t* wide = static_cast<wchar_t*>(malloc((static_cast<size_t>(units) + 1) * sizeof(wchar_t)));
    bool done = false;
    if (wide) {
        wide[0] = 0xFEFF;
        if (units > 0) ::MultiByteToWideChar(code_page, 0, text, length, wide + 1, units);
        done = write_whole_file(file_path, wide, static_cast<DWORD>((units + 1) * sizeof(wchar_t)));
    }
    free(wide);
    free(bytes);
    return done;
}

static bool write_profile_text(const wchar_t* section, const wchar_t* key, const wchar_t* text) {
    if (!file_path[0]) return false;
    ::CreateDirectoryW(folder_path, nullptr);
    if (!make_file_unicode()) return false;
    return ::WritePrivateProfileStringW(section, key, text, file_path) != 0;
}

void write_setting(const char* key, int value) {
    wchar_t wide_key[64];
    ::MultiByteToWideChar(CP_UTF8, 0, key, -1, wide_key, 64);
    wchar_t text[16];
    _snwprintf(text, 16, L"%d", value);
    text[15] = L'\0';
    if (!write_profile_text(kSection, wide_key, text)) {
        log_message("settings: %s=%d could not be written (error %lu)", key, value, ::GetLastError());
    }
    reread_settings();
}

// Windows' limit for long paths, and a zero.
static const DWORD kLongestPath = 32768;

static void find_settings_path_once() {
    if (!file_path[0]) find_settings_path();
}

static char* remembered_path(const wchar_t* section, const char* key) {
    find_settings_path_once();
    if (!file_path[0]) return nullptr;
    uint16_t* wide_key = utf16_from_utf8(key, nullptr);
    wchar_t* value = static_cast<wchar_t*>(malloc(kLongestPath * sizeof(wchar_t)));
    char* path = nullptr;
    if (wide_key && value) {
        ::GetPrivateProfileStringW(section, reinterpret_cast<LPCWSTR>(wide_key), kMissing, value, kLongestPath,
                                   file_path);
        const bool missing = value[0] == kMissing[0] && value[1] == L'\0';
        if (!missing) path = utf8_from_utf16(reinterpret_cast<const uint16_t*>(value), kLongestPath);
    }
    free(value);
    free(wide_key);
    return path;
}

// The full path: the player's working folder is not where the next start
// finds itself.
static wchar_t* full_wide_path(const char* path) {
    uint16_t* wide = utf16_from_utf8(path, nullptr);
    if (!wide) return nullptr;
    const LPCWSTR given = reinterpret_cast<LPCWSTR>(wide);
    const DWORD needed = ::GetFullPathNameW(given, 0, nullptr, nullptr);
    wchar_t* full = needed > 0 ? static_cast<wchar_t*>(malloc(needed * sizeof(wchar_t))) : nullptr;
    if (full && ::GetFullPathNameW(given, needed, full, nullptr) >= needed) {
        free(full);
        full = nullptr;
    }
    free(wide);
    return full;
}

char* remembered_pass_set(const char* key) { return remembered_path(kPassSetSection, key); }
char* remembered_playlist_position(const char* key) { return remembered_path(kPlaylistPositionSection, key); }

static void remember_path(const wchar_t* section, const char* key, const char* path) {
    uint16_t* wide_key = utf16_from_utf8(key, nullptr);
    wchar_t* full = path ? full_wide_path(path) : nullptr;
    const bool written = wide_key && (full || !path) &&
                         write_profile_text(section, reinterpret_cast<LPCWSTR>(wide_key), full ? full : L"");
    if (!written) {
        log_message("settings: the choice of %s could not be remembered (error %lu)",
                    path ? outside_text(path).text : "the built-in set", ::GetLastError());
    }
    free(full);
    free(wide_key);
}

void remember_pass_set(const char* key, const char* path) { remember_path(kPassSetSection, key, path); }
void remember_playlist_position(const char* key, const char* path) {
    remember_path(kPlaylistPositionSection, key, path);
}

// Calls `visit` with every key of [pass_sets] but the one for every monitor.
typedef void (*MonitorKeyVisitor)(const wchar_t* key, void* user);
static void visit_monitor_keys(MonitorKeyVisitor visit, void* user) {
    find_settings_path_once();
    if (!file_path[0]) return;
    wchar_t* keys = static_cast<wchar_t*>(malloc(kLongestPath * sizeof(wchar_t)));
    if (!keys) return;
    // Every key of the section, each ended by a zero, the list by another.
    const DWORD length = ::GetPrivateProfileStringW(kPassSetSection, nullptr, L"", keys, kLongestPath, file_path);
    for (DWORD at = 0; at < length && keys[at];) {
        const wchar_t* key = keys + at;
        at += static_cast<DWORD>(wcslen(key)) + 1;
        if (_wcsicmp(key, L"all") != 0) visit(key, user);
    }
    free(keys);
}

static void forget_key(const wchar_t* key, void*) {
    ::WritePrivateProfileStringW(kPassSetSection, key, nullptr, file_path);
}

void forget_monitor_pass_sets() { visit_monitor_keys(forget_key, nullptr); }

struct MonitorPassSetVisit {
    MonitorPassSetTaker take;
    void* user;
};

static void take_key(const wchar_t* key, void* user) {
    const MonitorPassSetVisit* visit = static_cast<const MonitorPassSetVisit*>(user);
    char* identity = utf8_from_utf16(reinterpret_cast<const uint16_t*>(key), wcslen(key) + 1);
    char* path = identity ? remembered_pass_set(identity) : nullptr;
    if (path) visit->take(identity, path[0] ? path : nullptr, visit->user);
    free(path);
    free(identity);
}

void each_monitor_pass_set(MonitorPassSetTaker take, void* user) {
    MonitorPassSetVisit visit = {take, user};
    visit_monitor_keys(take_key, &visit);
}
