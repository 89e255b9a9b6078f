#include "app/host_window.h"

#include <GL/glew.h>
#include <shellapi.h>

#include <cstdlib>

#include "app/app_settings.h"
#include "app/forwarded_path.h"
#include "app/instance_name.h"
#include "app/log.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"

static_assert(sizeof(NOTIFYICONDATAA) == 528, "the shell expects the full 64-bit record");

static NOTIFYICONDATAA tray_icon_data;
static UINT taskbar_created_message = 0;

// The instance name, a line feed and "double-click to exit the program" in
// code page 936 (GBK): the shell reads the tooltip in the ANSI code page.
static const char kTrayTooltip[] =
    "Lumenfold_Velvetdusk\n"
    "\xCB\xAB\xBB\xF7\xCD\xCB\xB3\xF6\xB3\xCC\xD0\xF2";
static_assert(sizeof kTrayTooltip == 34, "33 bytes of tooltip and its terminating zero");

static const UINT kTrayCallbackMessage = WM_USER;

void install_tray_icon(HWND window) {
    ZeroMemory(&tray_icon_data, sizeof tray_icon_data);
    tray_icon_data.cbSize = sizeof tray_icon_data;
    tray_icon_data.hWnd = window;
    tray_icon_data.uID = 0;
    tray_icon_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_icon_data.uCallbackMessage = kTrayCallbackMessage;
    tray_icon_data.hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(0));
    ::lstrcpyA(tray_icon_data.szTip, kTrayTooltip);

    // An icon left behind under the same window and id would otherwise
    // make the add fail or show twice.
    ::Shell_NotifyIconA(NIM_DELETE, &tray_icon_data);
    ::Shell_NotifyIconA(NIM_ADD, &tray_icon_data);
    taskbar_created_message = ::RegisterWindowMessageA("TaskbarCreated");
}

static void handle_size(WPARAM wparam, LPARAM lparam) {
    if (wparam == SIZE_MINIMIZED) return;
    const int width = LOWORD(lparam);
    const int height = HIWORD(lparam);
    // A collapsed window has nothing to draw into; the targets keep their
    // size until it has a real one again.
    if (width == 0 || height == 0) return;
    AppSettings.window_width = width;
    AppSettings.window_height = height;
    // NOTE: during creation and desktop attachment no context is current
    // yet and this call does nothing; the stored size is what counts then.
    glViewport(0, 0, width, height);
    request_target_resize(width, height);
}

// NOTE: while the desktop attachment waits for Explorer, sent messages get
// through, so a forward can arrive before any GL context exists. It is kept
// until start-up can install it; the latest one wins.
static bool forwarded_before_ready = false;
static char* path_forwarded_before_ready = nullptr;

static void keep_for_start_up(char* path) {
    free(path_forwarded_before_ready);
    path_forwarded_before_ready = path;
    forwarded_before_ready = true;
}

bool take_path_forwarded_before_ready(char** path) {
    *path = path_forwarded_before_ready;
    path_forwarded_before_ready = nullptr;
    const bool forwarded = forwarded_before_ready;
    forwarded_before_ready = false;
    return forwarded;
}

// The sender waits while the pass set loads, so the switch happens between
// two frames; no data means back to the built-in pass set.
static void handle_forwarded_path(const COPYDATASTRUCT* data) {
    char* path = copy_forwarded_path(data->lpData, data->cbData);
    log_message("WM_COPYDATA: %s", path);
    if (!render_resources_exist()) {
        keep_for_start_up(path);
        return;
    }
    install_pass_set(path);
    free(path);
}

static bool is_tray_double_click(LPARAM lparam) { return LOWORD(lparam) == WM_LBUTTONDBLCLK; }

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            install_tray_icon(window);
            break;
        case WM_DESTROY:
            ::Shell_NotifyIconA(NIM_DELETE, &tray_icon_data);
            ::PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            handle_size(wparam, lparam);
            return 0;
        case WM_COPYDATA:
            if (lparam) handle_forwarded_path(reinterpret_cast<const COPYDATASTRUCT*>(lparam));
            return 0;
        case WM_SYSCOMMAND:
            // Alt or F10 would otherwise enter menu mode and stall the loop.
            if ((wparam & 0xFFF0) == SC_KEYMENU) return 0;
            break;
        case kTrayCallbackMessage:
            if (is_tray_double_click(lparam)) ::SendMessageA(window, WM_CLOSE, wparam, lparam);
            break;
        default:
            if (taskbar_created_message != 0 && message == taskbar_created_message) install_tray_icon(window);
            break;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
}

bool register_host_window_class(HINSTANCE instance) {
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = host_window_proc;
    window_class.hInstance = instance;
    window_class.lpszClassName = kInstanceName;
    return ::RegisterClassExA(&window_class) != 0;
}

HWND create_host_window(HINSTANCE instance) {
    return ::CreateWindowExA(0, kInstanceName, kInstanceName, WS_POPUP | WS_VISIBLE, 0, 0, AppSettings.window_width,
                             AppSettings.window_height, nullptr, nullptr, instance, nullptr);
}
