#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glew.h>

#include "tests/support/gl_test_context.h"

static EGLDisplay test_display = EGL_NO_DISPLAY;
static EGLContext test_context = EGL_NO_CONTEXT;
static EGLSurface test_surface = EGL_NO_SURFACE;

static EGLDisplay open_surfaceless_display() {
    PFNEGLGETPLATFORMDISPLAYEXTPROC get_platform_display =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!get_platform_display) return EGL_NO_DISPLAY;
    return get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

bool open_test_gl_context(int width, int height) {
    if (test_context != EGL_NO_CONTEXT) return true;
    if (test_display == EGL_NO_DISPLAY) test_display = open_surfaceless_display();
    if (test_display == EGL_NO_DISPLAY || !eglInitialize(test_display, nullptr, nullptr)) return false;
    if (!eglBindAPI(EGL_OPENGL_API)) return false;

    // clang-format off
    const EGLint config_attributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_NONE,
    };
    // clang-format on
    EGLConfig config = nullptr;
    EGLint config_count = 0;
    if (!eglChooseConfig(test_display, config_attributes, &config, 1, &config_count) || config_count < 1) {
        return false;
    }
    // A pbuffer stands in for the window, so framebuffer 0 exists.
    const EGLint surface_attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    test_surface = eglCreatePbufferSurface(test_display, config, surface_attributes);

    // clang-format off
    const EGLint context_attributes[] = {
        EGL_CONTEXT_MAJOR_VERSION, 4,
        EGL_CONTEXT_MINOR_VERSION, 5,
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
        EGL_NONE,
    };
    // clang-format on
    test_context = eglCreateContext(test_display, config, EGL_NO_CONTEXT, context_attributes);
    if (test_context == EGL_NO_CONTEXT) return false;
    if (!eglMakeCurrent(test_display, test_surface, test_surface, test_context)) return false;

    // NOTE: without an X display GLEW reports an error for its GLX part,
    // but it has loaded every GL entry point by then.
    glewExperimental = GL_TRUE;
    glewInit();
    return glCreateShader != nullptr;
}

void close_test_gl_context() {
    if (test_context == EGL_NO_CONTEXT) return;
    eglMakeCurrent(test_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(test_display, test_context);
    if (test_surface != EGL_NO_SURFACE) eglDestroySurface(test_display, test_surface);
    // NOTE: the display is not terminated: that unloads the Mesa driver, and
    // its leftovers would then be reported as leaks of an unknown module.
    test_context = EGL_NO_CONTEXT;
    test_surface = EGL_NO_SURFACE;
}
