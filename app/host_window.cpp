#include "app/host_window.h"

#include <GL/glew.h>

#include <cstdlib>

#include "app/app_settings.h"
#include "app/desktop_watch.h"
#include "app/forwarded_path.h"
#include "app/instance_name.h"
#include "app/log.h"
#include "app/notification_window.h"
#include "app/pass_set_requests.h"
#include "render/render_resources.h"

static HWND window_being_destroyed_on_purpose = nullptr;

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

// The sender only waits for the path to be taken over; the loop installs it
// before its next frame. No data means back to the built-in pass set.
static void handle_forwarded_path(const COPYDATASTRUCT* data) {
    char* path = copy_forwarded_path(data->lpData, data->cbData);
    log_message("WM_COPYDATA: %s", path);
    request_pass_set(path);
}

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_DESTROY:
            if (window != window_being_destroyed_on_purpose && !player_closing()) notice_host_window_gone();
            return 0;
        case WM_CLOSE:
            // Someone asked this window to close: that is the user's wish to
            // end the player, not the desktop's.
            close_player();
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

void unregister_host_window_class(HINSTANCE instance) { ::UnregisterClassA(kInstanceName, instance); }

HWND create_host_window(HINSTANCE instance) {
    return ::CreateWindowExA(0, kInstanceName, kInstanceName, WS_POPUP | WS_VISIBLE, 0, 0, AppSettings.window_width,
                             AppSettings.window_height, nullptr, nullptr, instance, nullptr);
}

HWND create_hidden_host_window(HINSTANCE instance) {
    return ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kInstanceName, kInstanceName, WS_POPUP, 0, 0,
                             AppSettings.window_width, AppSettings.window_height, nullptr, nullptr, instance, nullptr);
}

void destroy_host_window(HWND window) {
    window_being_destroyed_on_purpose = window;
    ::DestroyWindow(window);
    window_being_destroyed_on_purpose = nullptr;
}
