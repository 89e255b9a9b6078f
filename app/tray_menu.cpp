#include "app/tray_menu.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/gpu_budget.h"
#include "app/monitor_arrangement.h"
#include "app/pass_set_requests.h"
#include "app/pause_state.h"
#include "app/pausing.h"
#include "app/player_events.h"
#include "app/player_sets.h"
#include "app/playlists.h"
#include "app/settings_file.h"
#include "app/startup_entry_win32.h"
#include "base/log.h"
#include "base/text_encoding.h"
#include "desktop/monitor_watch.h"

struct ChoiceItem {
    int command;
    int value;
    const char* label;
};

static const ChoiceItem kFrameRates[] = {{kCommandFrameRateOfDisplay, 0, "Display"},
                                         {kCommandFrameRate60, 60, "60"},
                                         {kCommandFrameRate30, 30, "30"},
                                         {kCommandFrameRate15, 15, "15"}};
static const ChoiceItem kRenderScales[] = {
    {kCommandRenderScale100, 100, "100 %"}, {kCommandRenderScale75, 75, "75 %"}, {kCommandRenderScale50, 50, "50 %"}};

static const ChoiceItem kGpuBudgets[] = {{kCommandGpuBudgetOff, 0, "Off"},
                                         {kCommandGpuBudget10, 10, "10 %"},
                                         {kCommandGpuBudget25, 25, "25 %"},
                                         {kCommandGpuBudget50, 50, "50 %"}};
// "Change every", in seconds of play.
static const ChoiceItem kTurnLengths[] = {{kCommandChangeEvery5, 300, "5 minutes"},
                                          {kCommandChangeEvery10, 600, "10 minutes"},
                                          {kCommandChangeEvery30, 1800, "30 minutes"},
                                          {kCommandChangeEvery60, 3600, "60 minutes"}};

static wchar_t log_path[MAX_PATH] = L"";

void remember_log_path(const wchar_t* log_file_name) {
    if (!::GetFullPathNameW(log_file_name, MAX_PATH, log_path, nullptr)) log_path[0] = L'\0';
}

template <size_t count>
static HMENU choice_menu(const ChoiceItem (&items)[count], int current_value) {
    HMENU menu = ::CreatePopupMenu();
    for (const ChoiceItem& item : items) {
        ::AppendMenuA(menu, MF_STRING, item.command, item.label);
        if (item.value == current_value) {
            ::CheckMenuRadioItem(menu, items[0].command, items[count - 1].command, item.command, MF_BYCOMMAND);
        }
    }
    return menu;
}

// The choices, and below them where the budget holds the picture now.
static HMENU gpu_budget_menu(int budget) {
    HMENU menu = choice_menu(kGpuBudgets, budget);
    int scale = 0;
    int frames_per_second = 0;
    if (!gpu_budget_holds(&scale, &frames_per_second)) return menu;
    char line[64];
    snprintf(line, sizeof line, "Now: %d %%, %d fps", scale, frames_per_second);
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, line);
    return menu;
}

static UINT checked_if(bool condition) { return MF_STRING | (condition ? MF_CHECKED : MF_UNCHECKED); }

static int monitor_command(int number, int item) {
    return kCommandMonitorItems + kMonitorCommandStride * (number - 1) + item;
}

// "Monitor 2 (1024 × 768)": the sign is not in every code page.
static HMENU monitor_menu(int number) {
    const Monitor& monitor = known_monitors().monitors[number - 1];
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, monitor_command(number, kMonitorOpenPassSet), "Open pass set...");
    ::AppendMenuA(menu, MF_STRING, monitor_command(number, kMonitorBuiltinWallpaper), "Built-in wallpaper");
    ::AppendMenuA(menu, checked_if(monitor_paused(monitor.identity)), monitor_command(number, kMonitorPause), "Pause");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, monitor_command(number, kMonitorOpenPlaylist), "Open playlist folder...");
    ::AppendMenuA(menu, MF_STRING, monitor_command(number, kMonitorNextWallpaper), "Next wallpaper");
    HMENU every = ::CreatePopupMenu();
    const int seconds = current_settings().playlist_seconds;
    for (int item = 0; item < 4; ++item) {
        const int command = monitor_command(number, kMonitorChangeEvery + item);
        ::AppendMenuA(every, MF_STRING, command, kTurnLengths[item].label);
        if (kTurnLengths[item].value == seconds) {
            ::CheckMenuRadioItem(every, monitor_command(number, kMonitorChangeEvery),
                                 monitor_command(number, kMonitorChangeEvery + 3), command, MF_BYCOMMAND);
        }
    }
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(every), "Change every");
    return menu;
}

static void append_monitor_menus(HMENU menu) {
    const int count = known_monitors().count;
    if (count < 2) return;
    for (int number = 1; number <= count && number <= kMostMonitors; ++number) {
        const Monitor& monitor = known_monitors().monitors[number - 1];
        wchar_t label[64];
        _snwprintf(label, 64, L"Monitor %d (%d \u00D7 %d)", number, monitor.width, monitor.height);
        label[63] = L'\0';
        ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(monitor_menu(number)), label);
    }
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
}

static HMENU build_menu() {
    const PlayerSettings& settings = current_settings();
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, checked_if(pause_reason_holds(kPausedByUser)), kCommandPause, "Pause");
    ::AppendMenuA(menu, checked_if(settings.pause_when_covered), kCommandPauseWhenCovered, "Pause when covered");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(choice_menu(kFrameRates, settings.frame_rate)),
                  "Frame rate");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(choice_menu(kRenderScales, settings.render_scale)),
                  "Render scale");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(gpu_budget_menu(settings.gpu_budget)), "GPU budget");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kCommandOpenPassSet, "Open pass set...");
    ::AppendMenuA(menu, MF_STRING, kCommandBuiltinWallpaper, "Built-in wallpaper");
    ::AppendMenuA(menu, MF_STRING, kCommandOpenPlaylist, "Open playlist folder...");
    ::AppendMenuA(menu, MF_STRING, kCommandNextWallpaper, "Next wallpaper");
    ::AppendMenuA(menu, MF_POPUP,
                  reinterpret_cast<UINT_PTR>(choice_menu(kTurnLengths, settings.playlist_seconds)), "Change every");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    append_monitor_menus(menu);
    ::AppendMenuA(menu, MF_STRING, kCommandOpenLog, "Open log");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    // Read anew for each menu: the user may have turned it off elsewhere,
    // and the log says what the menu showed.
    const bool starts = start_with_windows_now();
    log_message("tray menu: Start with Windows %s", starts ? "checked" : "unchecked");
    ::AppendMenuA(menu, checked_if(starts), kCommandStartWithWindows, "Start with Windows");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kCommandExit, "Exit");
    return menu;
}

void show_tray_menu(HWND owner) {
    HMENU menu = build_menu();
    POINT cursor = {0, 0};
    ::GetCursorPos(&cursor);
    // NOTE: without being the foreground window the owner never hears of a
    // click elsewhere, and the menu would stay open; the null message after
    // it makes the switch back take effect at once.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageA(owner, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
}

static char* utf8_of(const wchar_t* wide) {
    size_t length = 0;
    while (wide[length]) ++length;
    return utf8_from_utf16(reinterpret_cast<const uint16_t*>(wide), length);
}

// `monitor` 0: for every monitor.
static void open_pass_set(HWND owner, int monitor) {
    // Room for the long names the system allows beyond MAX_PATH.
    static const DWORD kPathUnits = 32768;
    wchar_t* path = static_cast<wchar_t*>(calloc(kPathUnits, sizeof(wchar_t)));
    if (!path) return;
    OPENFILENAMEW dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Pass sets (*.glsl)\0*.glsl\0All files\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = kPathUnits;
    dialog.lpstrTitle = L"Open pass set";
    // The working folder must stay: relative forwarded paths and the log
    // are relative to it.
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    char* chosen = ::GetOpenFileNameW(&dialog) ? utf8_of(path) : nullptr;
    free(path);
    if (!chosen) return;
    log_message("Open pass set: %s", outside_text(chosen).text);
    request_pass_set(PassSetRequest{monitor, chosen, 0});
}

// NOTE: the folder dialog's new style needs COM on the calling thread; the
// caption is set once the dialog exists, as the browse info has none.
static int CALLBACK name_folder_dialog(HWND dialog, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_INITIALIZED) ::SetWindowTextW(dialog, L"Open playlist folder");
    return 0;
}

// `monitor` 0: for every monitor.
static void open_playlist_folder(HWND owner, int monitor) {
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOW browse;
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = owner;
    browse.lpszTitle = L"A folder of pass sets plays as a playlist.";
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    browse.lpfn = name_folder_dialog;
    PIDLIST_ABSOLUTE chosen_item = ::SHBrowseForFolderW(&browse);
    wchar_t path[MAX_PATH] = L"";
    const bool chosen = chosen_item && ::SHGetPathFromIDListW(chosen_item, path);
    if (chosen_item) ::CoTaskMemFree(chosen_item);
    if (SUCCEEDED(com)) ::CoUninitialize();
    char* folder = chosen ? utf8_of(path) : nullptr;
    if (!folder) return;
    log_message("Open playlist folder: %s", outside_text(folder).text);
    request_pass_set(PassSetRequest{monitor, folder, 0});
}

static void next_wallpaper(int monitor) {
    if (monitor > 0) {
        log_message("Next wallpaper: monitor %d", monitor);
    } else {
        log_message("Next wallpaper");
    }
    ask_for_next_wallpaper(monitor);
}

static bool carry_out_monitor_command(HWND owner, int command) {
    const int offset = command - kCommandMonitorItems;
    if (offset < 0 || offset >= kMonitorCommandStride * kMostMonitors) return false;
    const int number = offset / kMonitorCommandStride + 1;
    const char* identity = identity_of_monitor(number);
    if (!identity) return false;
    switch (offset % kMonitorCommandStride) {
        case kMonitorOpenPassSet:
            open_pass_set(owner, number);
            return true;
        case kMonitorBuiltinWallpaper:
            log_message("Built-in wallpaper: monitor %d", number);
            request_pass_set(PassSetRequest{number, nullptr, 0});
            return true;
        case kMonitorPause:
            return toggle_monitor_pause(identity);
        case kMonitorOpenPlaylist:
            open_playlist_folder(owner, number);
            return true;
        case kMonitorNextWallpaper:
            next_wallpaper(number);
            return true;
    }
    const int turn_length = offset % kMonitorCommandStride - kMonitorChangeEvery;
    if (turn_length >= 0 && turn_length < 4) {
        write_setting("playlist_seconds", kTurnLengths[turn_length].value);
        return true;
    }
    return false;
}

static void open_log() {
    char* shown = utf8_of(log_path);
    log_message("Open log: %s", outside_text(shown).text);
    free(shown);
    fflush(stderr);
    ::ShellExecuteW(nullptr, L"open", log_path, nullptr, nullptr, SW_SHOWNORMAL);
}

template <size_t count>
static bool choose(const ChoiceItem (&items)[count], const char* key, int command) {
    for (const ChoiceItem& item : items) {
        if (item.command != command) continue;
        write_setting(key, item.value);
        return true;
    }
    return false;
}

bool carry_out_tray_command(HWND owner, int command) {
    switch (command) {
        case kCommandPause:
            toggle_pause_by_user();
            return true;
        case kCommandPauseWhenCovered:
            write_setting("pause_when_covered", current_settings().pause_when_covered ? 0 : 1);
            return true;
        case kCommandOpenPassSet:
            open_pass_set(owner, 0);
            return true;
        case kCommandBuiltinWallpaper:
            log_message("Built-in wallpaper");
            request_pass_set(PassSetRequest{0, nullptr, 0});
            return true;
        case kCommandOpenPlaylist:
            open_playlist_folder(owner, 0);
            return true;
        case kCommandNextWallpaper:
            next_wallpaper(0);
            return true;
        case kCommandOpenLog:
            open_log();
            return true;
        case kCommandStartWithWindows:
            set_start_with_windows(!start_with_windows_now());
            return true;
        case kCommandExit:
            report_player_event(kEventExitWanted);
            return true;
    }
    return choose(kFrameRates, "frame_rate", command) || choose(kRenderScales, "render_scale", command) ||
           choose(kGpuBudgets, "gpu_budget", command) || choose(kTurnLengths, "playlist_seconds", command) ||
           carry_out_monitor_command(owner, command);
}
