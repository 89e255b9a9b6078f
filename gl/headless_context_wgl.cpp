// The Windows headless context: a window that is never shown, with the
// player's own context creation, so whoever uses it exercises that path too.
#include <windows.h>

#include "base/log.h"
#include "gl/gl_context.h"
#include "gl/headless_context.h"

static HWND headless_window = nullptr;
static const char* const kHeadlessWindowClass = "LumenfoldHeadlessGl";

static HWND create_hidden_window(int width, int height) {
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = ::DefWindowProcA;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = kHeadlessWindowClass;
    ::RegisterClassExA(&window_class);
    return ::CreateWindowExA(0, kHeadlessWindowClass, kHeadlessWindowClass, WS_POPUP, 0, 0, width, height, nullptr,
                             nullptr, window_class.hInstance, nullptr);
}

static void destroy_hidden_window() {
    ::DestroyWindow(headless_window);
    ::UnregisterClassA(kHeadlessWindowClass, ::GetModuleHandleA(nullptr));
    headless_window = nullptr;
}

static bool make_context_current() {
    if (::wglMakeCurrent(gl_device_context, gl_render_context)) return true;
    log_message("wglMakeCurrent failed: %lu", static_cast<unsigned long>(::GetLastError()));
    return false;
}

bool open_headless_context(int width, int height) {
    if (headless_window) return true;
    headless_window = create_hidden_window(width, height);
    if (!headless_window) {
        log_message("CreateWindowExA failed: %lu", static_cast<unsigned long>(::GetLastError()));
        ::UnregisterClassA(kHeadlessWindowClass, ::GetModuleHandleA(nullptr));
        return false;
    }
    if (create_gl_context(headless_window, 4, 5) && make_context_current()) return true;
    // A half-made context would pass for an open one at the next try.
    close_headless_context();
    return false;
}

void close_headless_context() {
    if (!headless_window) return;
    if (gl_device_context) release_window_device_context(headless_window, gl_device_context);
    delete_gl_context();
    gl_device_context = nullptr;
    destroy_hidden_window();
}
