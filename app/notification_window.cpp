#include "app/notification_window.h"

#include <wtsapi32.h>

#include "app/instance_name.h"
#include "app/pausing.h"
#include "app/player_events.h"
#include "app/tray_icon.h"
#include "app/tray_menu.h"

static const UINT_PTR kDesktopWatchTimer = 1;

static UINT taskbar_created_message = 0;

static bool is_tray_double_click(LPARAM lparam) { return LOWORD(lparam) == WM_LBUTTONDBLCLK; }

static void handle_tray_event(HWND window, LPARAM lparam) {
    if (is_tray_double_click(lparam)) report_player_event(kEventExitWanted);
    if (LOWORD(lparam) == WM_RBUTTONUP) show_tray_menu(window);
}

static LRESULT CALLBACK notification_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            add_tray_icon(window);
            taskbar_created_message = ::RegisterWindowMessageA("TaskbarCreated");
            return 0;
        case WM_DESTROY:
            ::KillTimer(window, kDesktopWatchTimer);
            remove_tray_icon(window);
            return 0;
        case WM_CLOSE:
            report_player_event(kEventExitWanted);
            return 0;
        case WM_TIMER:
            if (wparam != kDesktopWatchTimer) break;
            // One look per arming: the loop arms the timer again after it.
            ::KillTimer(window, kDesktopWatchTimer);
            report_player_event(kEventDesktopLookDue);
            // The system reports covers as they come; this catches a cover
            // that went away without a word, such as a closed full-screen
            // window that handed the foreground to nobody.
            check_cover();
            return 0;
        case WM_COMMAND:
            if (carry_out_tray_command(window, LOWORD(wparam))) return 0;
            break;
        case WM_WTSSESSION_CHANGE:
            handle_session_change(wparam);
            return 0;
        case WM_POWERBROADCAST:
            // After sleep a monitor may be gone, or another one there.
            if (wparam == PBT_APMRESUMEAUTOMATIC) report_player_event(kEventDisplaysChanged);
            if (handle_power_broadcast(wparam, lparam)) return TRUE;
            break;
        case WM_DISPLAYCHANGE:
        case WM_SETTINGCHANGE:
        case WM_DPICHANGED:
            report_player_event(kEventDisplaysChanged);
            check_cover();
            break;
        case kTrayCallbackMessage:
            handle_tray_event(window, lparam);
            break;
        default:
            // Explorer's taskbar came (back) up: after a crash, but also
            // after a DPI change with nothing else lost.
            if (taskbar_created_message != 0 && message == taskbar_created_message) {
                add_tray_icon(window);
                report_player_event(kEventShellStarted);
                return 0;
            }
            break;
    }
    return ::DefWindowProcA(window, message, wparam, lparam);
}

bool register_notification_window_class(HINSTANCE instance) {
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = notification_window_proc;
    window_class.hInstance = instance;
    window_class.lpszClassName = kNotifyWindowClass;
    return ::RegisterClassExA(&window_class) != 0;
}

void unregister_notification_window_class(HINSTANCE instance) { ::UnregisterClassA(kNotifyWindowClass, instance); }

// NOTE: an ordinary top-level window, never shown: a message-only window
// would get no broadcasts at all.
HWND create_notification_window(HINSTANCE instance) {
    return ::CreateWindowExA(WS_EX_TOOLWINDOW, kNotifyWindowClass, kInstanceName, WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, instance, nullptr);
}

void destroy_notification_window(HWND window) {
    if (::IsWindow(window)) ::DestroyWindow(window);
}

void arm_desktop_watch_timer(HWND window, unsigned milliseconds) {
    ::SetTimer(window, kDesktopWatchTimer, milliseconds, nullptr);
}
