// The host's headless context: Mesa's surfaceless platform, so neither an X
// server nor a GPU is needed.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glew.h>

#include "base/log.h"
#include "gl/headless_context.h"

static EGLDisplay headless_display = EGL_NO_DISPLAY;
static EGLContext headless_context = EGL_NO_CONTEXT;
static EGLSurface headless_surface = EGL_NO_SURFACE;

static EGLDisplay open_surfaceless_display() {
    PFNEGLGETPLATFORMDISPLAYEXTPROC get_platform_display =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!get_platform_display) return EGL_NO_DISPLAY;
    return get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

static bool initialise_display() {
    if (headless_display == EGL_NO_DISPLAY) headless_display = open_surfaceless_display();
    if (headless_display == EGL_NO_DISPLAY || !eglInitialize(headless_display, nullptr, nullptr)) {
        log_message("EGL: no surfaceless display");
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        log_message("EGL: OpenGL cannot be bound");
        return false;
    }
    return true;
}

static EGLConfig choose_config() {
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
    if (!eglChooseConfig(headless_display, config_attributes, &config, 1, &config_count) || config_count < 1) {
        log_message("EGL: no RGBA8 pbuffer configuration");
        return nullptr;
    }
    return config;
}

static EGLContext create_core_context(EGLConfig config) {
    // clang-format off
    const EGLint context_attributes[] = {
        EGL_CONTEXT_MAJOR_VERSION, 4,
        EGL_CONTEXT_MINOR_VERSION, 5,
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
        EGL_NONE,
    };
    // clang-format on
    const EGLContext context = eglCreateContext(headless_display, config, EGL_NO_CONTEXT, context_attributes);
    if (context == EGL_NO_CONTEXT) log_message("eglCreateContext Failed, OpenGL 4.5 core");
    return context;
}

static bool load_entry_points() {
    // NOTE: without an X display GLEW reports an error for its GLX part,
    // but it has loaded every GL entry point by then.
    glewExperimental = GL_TRUE;
    glewInit();
    if (glCreateShader != nullptr) return true;
    log_message("GLEW: no GL entry points");
    return false;
}

static bool create_and_make_current(int width, int height) {
    const EGLConfig config = choose_config();
    if (!config) return false;
    // A pbuffer stands in for the window, so framebuffer 0 exists.
    const EGLint surface_attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    headless_surface = eglCreatePbufferSurface(headless_display, config, surface_attributes);
    if (headless_surface == EGL_NO_SURFACE) {
        log_message("eglCreatePbufferSurface Failed, %dx%d", width, height);
        return false;
    }
    headless_context = create_core_context(config);
    if (headless_context == EGL_NO_CONTEXT) return false;
    if (eglMakeCurrent(headless_display, headless_surface, headless_surface, headless_context)) return true;
    log_message("eglMakeCurrent Failed");
    return false;
}

bool open_headless_context(int width, int height) {
    if (headless_context != EGL_NO_CONTEXT) return true;
    if (initialise_display() && create_and_make_current(width, height) && load_entry_points()) return true;
    // A half-made context would pass for an open one at the next try.
    close_headless_context();
    return false;
}

void close_headless_context() {
    if (headless_display == EGL_NO_DISPLAY) return;
    eglMakeCurrent(headless_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (headless_context != EGL_NO_CONTEXT) eglDestroyContext(headless_display, headless_context);
    if (headless_surface != EGL_NO_SURFACE) eglDestroySurface(headless_display, headless_surface);
    // NOTE: the display is not terminated: that unloads the Mesa driver, and
    // its leftovers would then be reported as leaks of an unknown module.
    headless_context = EGL_NO_CONTEXT;
    headless_surface = EGL_NO_SURFACE;
}
