#pragma once
// The tray icon's menu on a right click: pausing, the frame-rate cap, the
// render scale, the GPU budget, choosing a pass set (for every monitor or, with several, for
// one), the log, and the way out.

#include <windows.h>

enum TrayCommand {
    kCommandPause = 1001,
    kCommandPauseWhenCovered = 1002,
    kCommandFrameRateOfDisplay = 1010,
    kCommandFrameRate60 = 1011,
    kCommandFrameRate30 = 1012,
    kCommandFrameRate15 = 1013,
    kCommandRenderScale100 = 1020,
    kCommandRenderScale75 = 1021,
    kCommandRenderScale50 = 1022,
    kCommandOpenPassSet = 1030,
    kCommandBuiltinWallpaper = 1031,
    kCommandOpenPlaylist = 1032,
    kCommandNextWallpaper = 1033,
    // "Change every" 5, 10, 30 or 60 minutes, for every playlist.
    kCommandChangeEvery5 = 1034,
    kCommandChangeEvery10 = 1035,
    kCommandChangeEvery30 = 1036,
    kCommandChangeEvery60 = 1037,
    kCommandOpenLog = 1040,
    kCommandExit = 1050,
    kCommandStartWithWindows = 1060,
    kCommandGpuBudgetOff = 1070,
    kCommandGpuBudget10 = 1071,
    kCommandGpuBudget25 = 1072,
    kCommandGpuBudget50 = 1073,
    // Monitor n's submenu: kCommandMonitorItems + kMonitorCommandStride *
    // (n - 1) + one of the offsets below.
    kCommandMonitorItems = 1100,
};

constexpr int kMonitorCommandStride = 10;
constexpr int kMonitorOpenPassSet = 0;
constexpr int kMonitorBuiltinWallpaper = 1;
constexpr int kMonitorPause = 2;
constexpr int kMonitorOpenPlaylist = 3;
constexpr int kMonitorNextWallpaper = 4;
// Offsets 5 .. 8: "Change every", as kCommandChangeEvery5 .. 60.
constexpr int kMonitorChangeEvery = 5;

// Remembers the log file's full path while the working folder is the one
// the player started in.
void remember_log_path(const wchar_t* log_file_name);

// Shows the menu at the cursor; its choice arrives as WM_COMMAND.
void show_tray_menu(HWND owner);
// False when `command` is none of the menu's.
bool carry_out_tray_command(HWND owner, int command);
