#include "gl/gl_context.h"

#include <GL/glew.h>
#include <GL/wglew.h>
#include <dwmapi.h>

#include "base/log.h"
#include "desktop/windows_version.h"
#include "gl/pacing.h"

HDC gl_device_context = nullptr;
HGLRC gl_render_context = nullptr;

// The pixel format the context was made for; every window it later draws
// into gets the same one.
static int gl_pixel_format = 0;

static PIXELFORMATDESCRIPTOR pixel_format_request() {
    PIXELFORMATDESCRIPTOR request;
    ZeroMemory(&request, sizeof request);
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    return request;
}

static bool set_pixel_format(HDC device_context) {
    const PIXELFORMATDESCRIPTOR request = pixel_format_request();
    const int format = ::ChoosePixelFormat(device_context, &request);
    if (format == 0 || !::SetPixelFormat(device_context, format, &request)) return false;
    gl_pixel_format = format;
    return true;
}

// The context-creation entry point is an extension; it can only be fetched
// with some context current, so a throw-away legacy context loads it.
static bool load_entry_points_with_temporary_context(HDC device_context) {
    HGLRC temporary = ::wglCreateContext(device_context);
    if (!temporary) {
        log_message("wglCreateContext");
        return false;
    }
    ::wglMakeCurrent(device_context, temporary);
    glewExperimental = GL_TRUE;
    glewInit();
    ::wglMakeCurrent(nullptr, nullptr);
    ::wglDeleteContext(temporary);
    return true;
}

static HGLRC create_core_context(HDC device_context, int major_version, int minor_version) {
    if (!wglCreateContextAttribsARB) return nullptr;
    // clang-format off
    const int attributes[] = {
        WGL_CONTEXT_MAJOR_VERSION_ARB, major_version,
        WGL_CONTEXT_MINOR_VERSION_ARB, minor_version,
        WGL_CONTEXT_PROFILE_MASK_ARB,  WGL_CONTEXT_CORE_PROFILE_BIT_ARB,
        0,                             0,
    };
    // clang-format on
    return wglCreateContextAttribsARB(device_context, nullptr, attributes);
}

bool create_gl_context(HWND window, int major_version, int minor_version) {
    HDC first_device_context = ::GetDC(window);
    if (!set_pixel_format(first_device_context)) {
        gl_device_context = first_device_context;
        return false;
    }
    // NOTE: the class has CS_OWNDC, so the window keeps this device context
    // for its whole life; taking it afresh makes the ownership plain.
    ::ReleaseDC(window, first_device_context);
    gl_device_context = ::GetDC(window);

    if (!load_entry_points_with_temporary_context(gl_device_context)) return false;

    gl_render_context = create_core_context(gl_device_context, major_version, minor_version);
    if (!gl_render_context) {
        log_message("wglCreateContextAttribsARB Failed, OpenGL %d.%d core", major_version, minor_version);
        return false;
    }
    return true;
}

bool move_gl_context_to(HWND window) {
    HDC device_context = ::GetDC(window);
    PIXELFORMATDESCRIPTOR format;
    ::DescribePixelFormat(device_context, gl_pixel_format, sizeof format, &format);
    if (!::SetPixelFormat(device_context, gl_pixel_format, &format) ||
        !::wglMakeCurrent(device_context, gl_render_context)) {
        ::ReleaseDC(window, device_context);
        return false;
    }
    // NOTE: the window that had the context is gone with its device context;
    // there is nothing of it left to release.
    gl_device_context = device_context;
    return true;
}

void release_window_device_context(HWND window, HDC device_context) {
    ::wglMakeCurrent(nullptr, nullptr);
    ::ReleaseDC(window, device_context);
}

void delete_gl_context() {
    ::wglMakeCurrent(nullptr, nullptr);
    if (gl_render_context) ::wglDeleteContext(gl_render_context);
    gl_render_context = nullptr;
    gl_device_context = nullptr;
}

static long ask_compositor(int* enabled) {
    BOOL composition = FALSE;
    const HRESULT result = ::DwmIsCompositionEnabled(&composition);
    *enabled = composition ? 1 : 0;
    return result;
}

static bool composition_on_now() {
    return composition_is_on(is_windows_version_at_least(6, 0), is_windows_version_at_least(6, 2), ask_compositor);
}

void apply_swap_interval(int interval) {
    if (!wglSwapIntervalEXT) return;
    wglSwapIntervalEXT(driver_swap_interval(composition_on_now(), interval));
}

void present_frame(HDC device_context, int swap_interval) {
    const int waits = compositor_waits_per_frame(composition_on_now(), swap_interval);
    for (int wait = 0; wait < waits; ++wait) ::DwmFlush();
    ::SwapBuffers(device_context);
}
