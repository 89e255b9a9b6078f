#include "app/host_window.h"

#include <GL/glew.h>

#include <cstdlib>

#include "app/app_settings.h"
#include "app/forwarded_request.h"
#include "app/instance_name.h"
#include "app/pass_set_requests.h"
#include "app/player_events.h"
#include "base/log.h"
#include "base/text_encoding.h"
#include "desktop/platform_services.h"
#include "app/player_sets.h"

static HWND window_being_destroyed_on_purpose = nullptr;

static void handle_size(WPARAM wparam, LPARAM lparam) {
    if (wparam == SIZE_MINIMIZED) return;
    const int width = LOWORD(lparam);
    const int height = HIWORD(lparam);
    // A collapsed window has nothing to draw into; the targets keep their
    // size until it has a real one again.
    if (width == 0 || height == 0) return;
    // NOTE: during creation and desktop attachment no context is current
    // yet and this call does nothing; the stored size is what counts then.
    glViewport(0, 0, width, height);
    resize_player_sets(width, height);
}

// What an earlier player was sent: bytes of the system code page.
static char* utf8_from_code_page(char* ansi) {
    if (!ansi) return nullptr;
    const int units = ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    wchar_t* wide = units > 0 ? static_cast<wchar_t*>(malloc(static_cast<size_t>(units) * sizeof(wchar_t))) : nullptr;
    char* utf8 = nullptr;
    if (wide && ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, units) > 0) {
        utf8 = utf8_from_utf16(reinterpret_cast<const uint16_t*>(wide), static_cast<size_t>(units));
    }
    free(wide);
    free(ansi);
    return utf8;
}

static LRESULT refuse(ForwardedRequest* request, LRESULT answer, const char* why) {
    log_message("WM_COPYDATA refused: %s", why);
    free_forwarded_request(request);
    return answer;
}

// The sender only waits for the request to be taken over; the loop installs
// the set before its next frame and tells the sender how that went. No path
// means back to the built-in pass set.
static LRESULT handle_forwarded_request(const COPYDATASTRUCT* data) {
    ForwardedRequest request = decode_forwarded_request(data->dwData, data->lpData, data->cbData);
    if (request.problem) return refuse(&request, kForwardMalformed, request.problem);
    if (request.path_is_ansi) request.path = utf8_from_code_page(request.path);
    if (request.action == PlayerAction::Quit) {
        log_message("WM_COPYDATA: quit");
        report_player_event(kEventExitWanted);
        return kForwardTaken;
    }
    log_message("WM_COPYDATA: %s", outside_text(request.path).text);
    if (request.path && !read_file_stamp(request.path).exists) {
        return refuse(&request, kForwardUnreadable, "no such file");
    }
    request_pass_set(PassSetRequest{request.monitor, request.path, request.reply_thread});
    return kForwardTaken;
}

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_DESTROY:
            if (window != window_being_destroyed_on_purpose) report_player_event(kEventHostWindowGone);
            return 0;
        case WM_CLOSE:
            // Someone asked this window to close: that is the user's wish to
            // end the player, not the desktop's.
            report_player_event(kEventExitWanted);
            return 0;
        case WM_SIZE:
            handle_size(wparam, lparam);
            return 0;
        case WM_COPYDATA:
            return lparam ? handle_forwarded_request(reinterpret_cast<const COPYDATASTRUCT*>(lparam)) : 0;
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
