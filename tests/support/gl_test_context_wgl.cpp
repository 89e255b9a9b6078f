#include <windows.h>

#include "gl/gl_context.h"
#include "tests/support/gl_test_context.h"

static HWND test_window = nullptr;
static const char* const kTestWindowClass = "LumenfoldTestGl";

static HWND create_hidden_window(int width, int height) {
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = ::DefWindowProcA;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = kTestWindowClass;
    ::RegisterClassExA(&window_class);
    return ::CreateWindowExA(0, kTestWindowClass, kTestWindowClass, WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                             window_class.hInstance, nullptr);
}

bool open_test_gl_context(int width, int height) {
    if (gl_render_context) return true;
    test_window = create_hidden_window(width, height);
    if (!test_window) return false;
    // The player's own creation path, so the tests exercise it as well.
    if (!create_gl_context(test_window, 4, 5)) return false;
    return ::wglMakeCurrent(gl_device_context, gl_render_context) != FALSE;
}

void close_test_gl_context() {
    if (!gl_render_context) return;
    release_window_device_context(test_window, gl_device_context);
    delete_gl_context();
    gl_device_context = nullptr;
    ::DestroyWindow(test_window);
    ::UnregisterClassA(kTestWindowClass, ::GetModuleHandleA(nullptr));
    test_window = nullptr;
}
