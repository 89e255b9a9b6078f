// A small command-line helper for the end-to-end tests: it finds the running
// player's windows and pokes them the way the shell, the system or the user
// would, printing a one-line result so the test scripts can assert on it.
//
// The player's render window (class and title "Lumenfold_Velvetdusk"):
//   wait [MS]               returns once the window exists
//   describe                window=<hex> parent=<hex> rect=x,y,w,h visible=0|1 style=<hex>
//   copydata KIND [TEXT]    a WM_COPYDATA payload; sent=0|1
//   alt                     the keyboard-menu system command; keymenu=0|1 alive=0|1
//   sync                    two round trips a frame apart; synced=0|1
//   resize W H, move X Y W H, minimize, restore
//                           moves or shows the window; move prints moved=0|1
// Its notification window (class "Lumenfold_Velvetdusk_Notify"), which owns
// the tray icon and hears from the shell and the system:
//   notify-window           notify=<hex>, or notify=0
//   tray-exists [HEX]       tray=0|1, for the given window even if it is gone
//   tray-click single|right|double
//   menu, menu-escape       opens the tray menu, or closes it; menu=0|1
//   command ID              WM_COMMAND as a menu item sends it; sent=0|1
//   session lock|unlock     a session change notification; sent=0|1
//   power display off|on|dimmed, power saver on|off
//                           a power setting notification; sent=0|1
// The whole desktop:
//   taskbar-created, displaychange, settingchange
//                           broadcasts; the latter two print sent=0|1
//   display-mode W H        changes the display's resolution, as a user
//                           would (only a virtual desktop lets Wine do it);
//                           changed=0|1
//   cover fullscreen|maximised|half|maximised-other SECONDS
//                           a foreground window of its own, kept until
//                           `uncover` or SECONDS; cover=1 once it is up
//   uncover                 closes it; cover=0 once it is gone
//   desktop-window          desktop=<hex>
//   monitors                one line per monitor, as the system lists them:
//                           monitor=<device> x y w h [primary]
//   power resume            the resume-from-sleep broadcast; sent=0|1
// Stand-ins:
//   hung-player SECONDS     holds the player's mutex and a window of its
//                           class that never answers, for SECONDS; prints
//                           hung=1 once both exist
//   open-dialog PATH        waits for the player's "Open pass set" dialog,
//                           enters PATH and confirms; dialog=0|1
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static const char* const kName = "Lumenfold_Velvetdusk";
static const char* const kNotifyClass = "Lumenfold_Velvetdusk_Notify";
static const char* const kCoverClass = "LumenfoldProbeCover";
static const char* const kMenuClass = "#32768";
static const UINT kTrayCallbackMessage = WM_USER;
// The player answers between frames, and a software-rendered frame can be
// slow.
static const UINT kAnswerTimeoutMs = 30000;

static HWND find_player() {
    HWND explorer = ::FindWindowExA(::GetDesktopWindow(), nullptr, "Progman", "Program Manager");
    HWND player = explorer ? ::FindWindowExA(explorer, nullptr, kName, kName) : nullptr;
    if (!player) player = ::FindWindowExA(nullptr, nullptr, kName, kName);
    return player;
}

static HWND wait_for_player(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND player = find_player();
        if (player || ::GetTickCount() - start > milliseconds) return player;
        ::Sleep(50);
    }
}

static unsigned bits(HWND window) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(window)); }

// Hidden and top-level, so the shell's broadcasts reach it.
static HWND find_notify_window() { return ::FindWindowExA(nullptr, nullptr, kNotifyClass, nullptr); }

// A player without a notification window kept its tray icon on the render
// window.
static HWND find_tray_owner() {
    HWND notify = find_notify_window();
    return notify ? notify : find_player();
}

static bool wait_until(bool (*condition)(), DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > milliseconds) return false;
        ::Sleep(50);
    }
}

static int print_sent(bool sent) {
    printf("sent=%d\n", sent ? 1 : 0);
    return sent ? 0 : 1;
}

static bool send_to_notify_window(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND notify = find_notify_window();
    DWORD_PTR result = 0;
    return notify && ::SendMessageTimeoutA(notify, message, wparam, lparam, SMTO_NORMAL, kAnswerTimeoutMs, &result);
}

// Prints "window=<hex> parent=<hex> x y w h visible style".
static int describe() {
    HWND player = find_player();
    if (!player) {
        printf("window=0\n");
        return 1;
    }
    RECT rect;
    ::GetWindowRect(player, &rect);
    printf("window=%X parent=%X rect=%ld,%ld,%ld,%ld visible=%d style=%lX\n", bits(player),
           bits(::GetAncestor(player, GA_PARENT)), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
           ::IsWindowVisible(player) ? 1 : 0, static_cast<unsigned long>(::GetWindowLongA(player, GWL_STYLE)));
    return 0;
}

// NIM_MODIFY succeeds only for an icon that exists under this window and id.
// A window given by its handle is checked even after it is gone, which is
// how a test sees that no icon was left behind.
static int tray_icon_exists(const char* window_hex) {
    HWND owner = window_hex ? reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoul(window_hex, nullptr, 16)))
                            : find_tray_owner();
    NOTIFYICONDATAA data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 0;
    data.uFlags = 0;
    const bool exists = owner && ::Shell_NotifyIconA(NIM_MODIFY, &data);
    printf("tray=%d\n", exists ? 1 : 0);
    return exists ? 0 : 1;
}

static int tray_click(const char* kind) {
    HWND owner = find_tray_owner();
    if (!owner) return 1;
    UINT mouse = WM_LBUTTONDBLCLK;
    if (strcmp(kind, "single") == 0) mouse = WM_LBUTTONUP;
    if (strcmp(kind, "right") == 0) mouse = WM_RBUTTONUP;
    if (strcmp(kind, "single") == 0) ::PostMessageA(owner, kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
    ::PostMessageA(owner, kTrayCallbackMessage, 0, mouse);
    return 0;
}

static int print_notify_window() {
    HWND notify = find_notify_window();
    printf("notify=%X\n", bits(notify));
    return notify ? 0 : 1;
}

// ---- the tray menu

// Only a visible menu window counts: Windows may keep a hidden one between
// menus.
static bool menu_is_open() {
    for (HWND menu = ::FindWindowExA(nullptr, nullptr, kMenuClass, nullptr); menu;
         menu = ::FindWindowExA(nullptr, menu, kMenuClass, nullptr)) {
        if (::IsWindowVisible(menu)) return true;
    }
    return false;
}

static bool menu_is_closed() { return !menu_is_open(); }

// Returns 0 when the menu is as the command wanted it.
static int print_menu(bool open, bool wanted_open) {
    printf("menu=%d\n", open ? 1 : 0);
    return open == wanted_open ? 0 : 1;
}

// The shell reports a right click on the icon once the button is released.
static int open_tray_menu() {
    HWND owner = find_tray_owner();
    if (!owner) return print_menu(false, true);
    ::PostMessageA(owner, kTrayCallbackMessage, 0, WM_RBUTTONUP);
    return print_menu(wait_until(menu_is_open, kAnswerTimeoutMs), true);
}

// The menu's own loop reads keys from its thread's queue, whichever of that
// thread's windows they were posted to.
static int escape_tray_menu() {
    for (HWND menu = ::FindWindowExA(nullptr, nullptr, kMenuClass, nullptr); menu;
         menu = ::FindWindowExA(nullptr, menu, kMenuClass, nullptr)) {
        if (::IsWindowVisible(menu)) ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    }
    return print_menu(!wait_until(menu_is_closed, kAnswerTimeoutMs), false);
}

static int send_command(const char* id) {
    const WORD command = static_cast<WORD>(strtoul(id, nullptr, 0));
    return print_sent(send_to_notify_window(WM_COMMAND, MAKEWPARAM(command, 0), 0));
}

// ---- what the system tells the notification window

static int change_session(const char* change) {
    WPARAM event = 0;
    if (strcmp(change, "lock") == 0) event = WTS_SESSION_LOCK;
    if (strcmp(change, "unlock") == 0) event = WTS_SESSION_UNLOCK;
    if (event == 0) return 2;
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    return print_sent(send_to_notify_window(WM_WTSSESSION_CHANGE, event, session));
}

static bool broadcast(UINT message, WPARAM wparam, LPARAM lparam);

// {6FE69556-704A-47A0-8F24-C28D936FDA47}: 0 off, 1 on, 2 dimmed.
static const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// {E00958C0-C213-4ACE-AC77-FECCED2EEEA5}: 1 while battery saver is on.
static const GUID kPowerSavingStatus = {0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};

// The record behind lParam is read in the receiver's address space, where
// the system would have put it; nothing marshals it across processes.
static bool send_power_setting(const GUID& setting, DWORD value) {
    HWND notify = find_notify_window();
    if (!notify) return false;
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(notify, &process_id);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
    if (!process) return false;

    std::vector<unsigned char> record(offsetof(POWERBROADCAST_SETTING, Data) + sizeof value);
    POWERBROADCAST_SETTING header;
    header.PowerSetting = setting;
    header.DataLength = sizeof value;
    memcpy(record.data(), &header, offsetof(POWERBROADCAST_SETTING, Data));
    memcpy(record.data() + offsetof(POWERBROADCAST_SETTING, Data), &value, sizeof value);

    void* remote = ::VirtualAllocEx(process, nullptr, record.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool sent = false;
    if (remote && ::WriteProcessMemory(process, remote, record.data(), record.size(), nullptr)) {
        DWORD_PTR result = 0;
        sent = ::SendMessageTimeoutA(notify, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                                     reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, kAnswerTimeoutMs, &result) != 0;
    }
    // Only after the answer: the receiver reads the record while handling it.
    if (remote) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return sent;
}

static int change_power(const char* what, const char* state) {
    // The notification window is top-level, so the broadcast reaches it as
    // it reaches every program after sleep.
    if (strcmp(what, "resume") == 0) return print_sent(broadcast(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
    if (strcmp(what, "display") == 0) {
        const char* const states[] = {"off", "on", "dimmed"};
        for (DWORD value = 0; value < 3; ++value) {
            if (strcmp(state, states[value]) == 0) return print_sent(send_power_setting(kConsoleDisplayState, value));
        }
    }
    if (strcmp(what, "saver") == 0) {
        if (strcmp(state, "on") == 0) return print_sent(send_power_setting(kPowerSavingStatus, 1));
        if (strcmp(state, "off") == 0) return print_sent(send_power_setting(kPowerSavingStatus, 0));
    }
    return 2;
}

// ---- broadcasts to every top-level window

static bool broadcast(UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(HWND_BROADCAST, message, wparam, lparam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                 kAnswerTimeoutMs, &result) != 0;
}

static int broadcast_display_change() {
    const LPARAM size = MAKELPARAM(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return print_sent(broadcast(WM_DISPLAYCHANGE, 32, size));
}

// As after the taskbar moved or changed size; no section name comes with it.
static int broadcast_setting_change() { return print_sent(broadcast(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0)); }

// ---- a window of the probe's own over the player

static LRESULT CALLBACK cover_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_TIMER:
            ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
}

static MONITORINFO primary_monitor() {
    MONITORINFO info;
    info.cbSize = sizeof info;
    const POINT origin = {0, 0};
    ::GetMonitorInfoA(::MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
    return info;
}

static BOOL CALLBACK note_other_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(monitor, &info) || (info.dwFlags & MONITORINFOF_PRIMARY)) return TRUE;
    *reinterpret_cast<MONITORINFO*>(found) = info;
    return FALSE;
}

// The first monitor that is not the primary one, or the primary alone.
static MONITORINFO other_monitor() {
    MONITORINFO info = primary_monitor();
    ::EnumDisplayMonitors(nullptr, nullptr, note_other_monitor, reinterpret_cast<LPARAM>(&info));
    return info;
}

struct CoverShape {
    DWORD style;
    RECT rect;
    int show;
};

// NOTE: Wine leaves the on-screen size of a maximised window with a caption
// to the window manager, and a bare X server has none: the window would be
// maximised to Windows and stay its old size on screen. Starting it out at
// the size it is maximised to makes both agree.
static bool shape_cover(const char* kind, CoverShape* shape) {
    const bool other = strcmp(kind, "maximised-other") == 0;
    const MONITORINFO monitor = other ? other_monitor() : primary_monitor();
    if (other) kind = "maximised";
    shape->style = WS_OVERLAPPEDWINDOW;
    shape->rect = monitor.rcMonitor;
    shape->show = SW_SHOWNORMAL;
    if (strcmp(kind, "fullscreen") == 0) {
        shape->style = WS_POPUP;
    } else if (strcmp(kind, "maximised") == 0) {
        shape->rect = monitor.rcWork;
        ::AdjustWindowRectEx(&shape->rect, shape->style, FALSE, 0);
        shape->show = SW_SHOWMAXIMIZED;
    } else if (strcmp(kind, "half") == 0) {
        shape->rect.right = shape->rect.left + (shape->rect.right - shape->rect.left) / 2;
    } else {
        return false;
    }
    return true;
}

static HWND create_cover(const char* kind) {
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = cover_proc;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    // A colour no test's pass set draws, so a screenshot tells it apart.
    window_class.hbrBackground = ::CreateSolidBrush(RGB(255, 0, 255));
    window_class.lpszClassName = kCoverClass;
    ::RegisterClassExA(&window_class);

    CoverShape shape;
    if (!shape_cover(kind, &shape)) return nullptr;
    const RECT& rect = shape.rect;
    HWND cover = ::CreateWindowExA(0, kCoverClass, "Lumenfold probe cover", shape.style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    if (!cover) return nullptr;
    ::ShowWindow(cover, shape.show);
    ::SetForegroundWindow(cover);
    return cover;
}

static HWND cover_window = nullptr;

static bool cover_is_foreground() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    return ::GetForegroundWindow() == cover_window;
}

// Up means in front: a cover that did not become the foreground window
// would cover nothing the player watches for.
static int cover(const char* kind, const char* seconds) {
    const UINT lifetime_ms = static_cast<UINT>(strtoul(seconds, nullptr, 10)) * 1000;
    if (lifetime_ms == 0) return 2;
    cover_window = create_cover(kind);
    const bool up = cover_window && wait_until(cover_is_foreground, 10000);
    printf("cover=%d\n", up ? 1 : 0);
    fflush(stdout);
    if (!up) return 1;
    ::SetTimer(cover_window, 1, lifetime_ms, nullptr);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}

static bool no_cover_left() { return ::FindWindowExA(nullptr, nullptr, kCoverClass, nullptr) == nullptr; }

static int uncover() {
    for (HWND cover = ::FindWindowExA(nullptr, nullptr, kCoverClass, nullptr); cover;
         cover = ::FindWindowExA(nullptr, cover, kCoverClass, nullptr)) {
        ::PostMessageA(cover, WM_CLOSE, 0, 0);
    }
    const bool gone = wait_until(no_cover_left, 10000);
    printf("cover=%d\n", gone ? 0 : 1);
    return gone ? 0 : 1;
}

static BOOL CALLBACK print_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFOEXA info;
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(monitor, &info)) return TRUE;
    const RECT& rect = info.rcMonitor;
    printf("monitor=%s %ld %ld %ld %ld%s\n", info.szDevice, rect.left, rect.top, rect.right - rect.left,
           rect.bottom - rect.top, (info.dwFlags & MONITORINFOF_PRIMARY) ? " primary" : "");
    return TRUE;
}

static int print_monitors() { return ::EnumDisplayMonitors(nullptr, nullptr, print_monitor, 0) ? 0 : 1; }

static int change_display_mode(int width, int height) {
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const bool changed = ::ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
    printf("changed=%d\n", changed ? 1 : 0);
    return changed ? 0 : 1;
}

// A player whose thread is stuck: a later start must give up on it.
static int play_hung_player(int seconds) {
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, kName);
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = ::DefWindowProcA;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = kName;
    ::RegisterClassExA(&window_class);
    HWND window = ::CreateWindowExA(WS_EX_NOACTIVATE, kName, kName, WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                    window_class.hInstance, nullptr);
    printf("hung=%d\n", mutex && window ? 1 : 0);
    fflush(stdout);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    return 0;
}

// The file name box of the common dialog: cmb13 in the Explorer style,
// edt1 in the old one.
static const int kFileNameCombo = 0x47C;
static const int kFileNameEdit = 0x480;

static int answer_open_dialog(const char* path) {
    HWND dialog = nullptr;
    for (int tries = 0; tries < 600 && !dialog; ++tries) {
        dialog = ::FindWindowA("#32770", "Open pass set");
        if (!dialog) ::Sleep(50);
    }
    if (dialog) {
        if (!::SetDlgItemTextA(dialog, kFileNameCombo, path)) ::SetDlgItemTextA(dialog, kFileNameEdit, path);
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    printf("dialog=%d\n", dialog ? 1 : 0);
    return dialog ? 0 : 1;
}

static int taskbar_created() {
    const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_NORMAL, 2000, &result);
    return 0;
}

// Sends a WM_COPYDATA payload of the given kind and reports the answer.
static int send_payload(const char* kind, const char* argument) {
    HWND player = find_player();
    if (!player) return 1;
    std::vector<char> bytes;
    COPYDATASTRUCT data = {0, 0, nullptr};
    if (strcmp(kind, "path") == 0) {
        bytes.assign(argument, argument + strlen(argument) + 1);
    } else if (strcmp(kind, "unterminated") == 0) {
        bytes.assign(argument, argument + strlen(argument));
    } else if (strcmp(kind, "mebibyte") == 0) {
        bytes.assign(1 << 20, 'M');
    } else if (strcmp(kind, "null-data") == 0) {
        data.cbData = 64;  // a size that lies about a missing buffer
    } else if (strcmp(kind, "empty") == 0) {
        bytes.assign(1, 'E');
        data.lpData = bytes.data();
    }
    if (!bytes.empty() && strcmp(kind, "empty") != 0) {
        data.cbData = static_cast<DWORD>(bytes.size());
        data.lpData = bytes.data();
    }
    DWORD_PTR result = 0;
    const LRESULT sent =
        ::SendMessageTimeoutA(player, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 60000, &result);
    printf("sent=%d\n", sent ? 1 : 0);
    return sent ? 0 : 1;
}

// Alt arrives as the keyboard-menu system command; the player must go on
// answering right after it.
static int press_alt() {
    HWND player = find_player();
    if (!player) return 1;
    DWORD_PTR result = 0;
    // Generous enough for a slow software-rendered frame in between; a
    // player stuck in menu mode would not answer at all.
    const LRESULT menu = ::SendMessageTimeoutA(player, WM_SYSCOMMAND, SC_KEYMENU, 0, SMTO_NORMAL, 15000, &result);
    const LRESULT alive = ::SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &result);
    printf("keymenu=%d alive=%d\n", menu ? 1 : 0, alive ? 1 : 0);
    return menu && alive ? 0 : 1;
}

// The player answers sent messages only between frames. A second round trip
// well after the first is answered only once the loop has drawn a frame and
// come back, by which time it has handled everything posted before.
static int sync_with_player() {
    HWND player = find_player();
    if (!player) return 1;
    DWORD_PTR result = 0;
    const LRESULT first = ::SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    ::Sleep(200);
    const LRESULT second = first ? ::SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) : 0;
    printf("synced=%d\n", second ? 1 : 0);
    return second ? 0 : 1;
}

// Lets a test tell a top-level window from a child by its parent.
static int print_desktop_window() {
    printf("desktop=%X\n", bits(::GetDesktopWindow()));
    return 0;
}

// The window manager sends WM_SIZE with SIZE_MINIMIZED, then a restore.
static int show(int command) {
    HWND player = find_player();
    if (!player) return 1;
    ::ShowWindow(player, command);
    return 0;
}

static int resize(int width, int height) {
    HWND player = find_player();
    if (!player) return 1;
    ::SetWindowPos(player, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
    return 0;
}

// Coordinates are the parent's, as SetWindowPos takes them.
static int move(int x, int y, int width, int height) {
    HWND player = find_player();
    const bool moved = player && ::SetWindowPos(player, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    printf("moved=%d\n", moved ? 1 : 0);
    return moved ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string command = argv[1];
    if (command == "wait") return wait_for_player(argc > 2 ? atoi(argv[2]) : 20000) ? 0 : 1;
    if (command == "describe") return describe();
    if (command == "tray-exists") return tray_icon_exists(argc > 2 ? argv[2] : nullptr);
    if (command == "tray-click") return tray_click(argc > 2 ? argv[2] : "double");
    if (command == "taskbar-created") return taskbar_created();
    if (command == "copydata") return send_payload(argc > 2 ? argv[2] : "", argc > 3 ? argv[3] : "");
    if (command == "alt") return press_alt();
    if (command == "sync") return sync_with_player();
    if (command == "desktop-window") return print_desktop_window();
    if (command == "resize" && argc > 3) return resize(atoi(argv[2]), atoi(argv[3]));
    if (command == "minimize") return show(SW_MINIMIZE);
    if (command == "restore") return show(SW_RESTORE);
    if (command == "move" && argc > 5) return move(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    if (command == "notify-window") return print_notify_window();
    if (command == "menu") return open_tray_menu();
    if (command == "menu-escape") return escape_tray_menu();
    if (command == "command" && argc > 2) return send_command(argv[2]);
    if (command == "session" && argc > 2) return change_session(argv[2]);
    if (command == "power" && argc > 3) return change_power(argv[2], argv[3]);
    if (command == "power" && argc > 2) return change_power(argv[2], "");
    if (command == "monitors") return print_monitors();
    if (command == "displaychange") return broadcast_display_change();
    if (command == "settingchange") return broadcast_setting_change();
    if (command == "cover" && argc > 3) return cover(argv[2], argv[3]);
    if (command == "uncover") return uncover();
    if (command == "display-mode" && argc > 3) return change_display_mode(atoi(argv[2]), atoi(argv[3]));
    if (command == "hung-player" && argc > 2) return play_hung_player(atoi(argv[2]));
    if (command == "open-dialog" && argc > 2) return answer_open_dialog(argv[2]);
    return 2;
}
