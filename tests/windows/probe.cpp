// A small command-line helper for the end-to-end tests: it finds the running
// player's window and pokes it the way the shell or another process would,
// printing what it sees so the test scripts can assert on it.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static const char* const kName = "Lumenfold_Velvetdusk";

static HWND find_player() {
    HWND explorer = ::FindWindowExA(::GetDesktopWindow(), nullptr, "Progman", "Program Manager");
    HWND player = explorer ? ::FindWindowExA(explorer, nullptr, kName, kName) : nullptr;
    if (!player) player = ::FindWindowExA(nullptr, nullptr, kName, kName);
    return player;
}

static HWND find_tray_owner() {
    HWND owner = ::FindWindowExA(nullptr, nullptr, "Lumenfold_Velvetdusk_Notify", nullptr);
    return owner ? owner : find_player();
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
    HWND player =
        window_hex ? reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoul(window_hex, nullptr, 16))) : find_tray_owner();
    NOTIFYICONDATAW data;
    ZeroMemory(&data, sizeof data);
    data.cbSize = sizeof data;
    data.hWnd = player;
    data.uID = 0;
    data.uFlags = 0;
    const bool exists = player && ::Shell_NotifyIconW(NIM_MODIFY, &data);
    printf("tray=%d\n", exists ? 1 : 0);
    return exists ? 0 : 1;
}

static int tray_click(const char* kind) {
    HWND player = find_tray_owner();
    if (!player) return 1;
    UINT mouse = WM_LBUTTONDBLCLK;
    if (strcmp(kind, "single") == 0) mouse = WM_LBUTTONUP;
    if (strcmp(kind, "right") == 0) mouse = WM_RBUTTONUP;
    if (strcmp(kind, "single") == 0) ::PostMessageA(player, WM_USER, 0, WM_LBUTTONDOWN);
    ::PostMessageA(player, WM_USER, 0, mouse);
    return 0;
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
    return 2;
}
