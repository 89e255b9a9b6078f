// The Windows build context: made on a window that is never shown, with the
// pixel format of the player's, sharing the player's context.
#include <windows.h>

#include <GL/glew.h>
#include <GL/wglew.h>

#include "base/log.h"
#include "gl/build_context.h"

#include <cstdlib>

static const char* const kBuildWindowClass = "LumenfoldBuildGl";

// Each context has a window of its own: a device context is current on one
// thread at a time.
struct BuildContext {
    HWND window;
    HDC device_context;
    HGLRC context;
};

// NOTE: the window belongs to the loop's thread, which answers what is sent
// to it: the build thread draws nothing, it only needs a device context of
// the right pixel format to make its context current.
static HWND create_build_window() {
    WNDCLASSEXA window_class;
    ZeroMemory(&window_class, sizeof window_class);
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = ::DefWindowProcA;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = kBuildWindowClass;
    ::RegisterClassExA(&window_class);
    return ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kBuildWindowClass, kBuildWindowClass, WS_POPUP, 0,
                             0, 1, 1, nullptr, nullptr, window_class.hInstance, nullptr);
}

static bool take_pixel_format_of(HDC players, HDC device_context) {
    const int format = players ? ::GetPixelFormat(players) : 0;
    PIXELFORMATDESCRIPTOR description;
    return format > 0 && ::DescribePixelFormat(players, format, sizeof description, &description) &&
           ::SetPixelFormat(device_context, format, &description);
}

static HGLRC create_shared_core_context(HDC device_context, HGLRC players) {
    if (!wglCreateContextAttribsARB) return nullptr;
    // clang-format off
    const int attributes[] = {
        WGL_CONTEXT_MAJOR_VERSION_ARB, 4,
        WGL_CONTEXT_MINOR_VERSION_ARB, 5,
        WGL_CONTEXT_PROFILE_MASK_ARB,  WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
        0,                             0,
    };
    // clang-format on
    return wglCreateContextAttribsARB(device_context, players, attributes);
}

BuildContext* create_build_context() {
    BuildContext* made = static_cast<BuildContext*>(calloc(1, sizeof(BuildContext)));
    if (!made) return nullptr;
    HDC players_device_context = ::wglGetCurrentDC();
    HGLRC players_context = ::wglGetCurrentContext();
    made->window = create_build_window();
    made->device_context = made->window ? ::GetDC(made->window) : nullptr;
    if (players_context && made->device_context && take_pixel_format_of(players_device_context, made->device_context)) {
        made->context = create_shared_core_context(made->device_context, players_context);
    }
    if (made->context) return made;
    log_message("build context: none that shares the player's objects (error %lu)",
                static_cast<unsigned long>(::GetLastError()));
    delete_build_context(made);
    return nullptr;
}

bool make_build_context_current(BuildContext* context) {
    return ::wglMakeCurrent(context->device_context, context->context) == TRUE;
}

void release_build_context() { ::wglMakeCurrent(nullptr, nullptr); }

void delete_build_context(BuildContext* context) {
    if (!context) return;
    if (context->context) ::wglDeleteContext(context->context);
    if (context->device_context) ::ReleaseDC(context->window, context->device_context);
    if (context->window) ::DestroyWindow(context->window);
    free(context);
}
