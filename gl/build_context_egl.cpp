// The host's build contexts: more surfaceless contexts on the display and
// configuration of the one current where they are made.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdlib>

#include "base/log.h"
#include "gl/build_context.h"

struct BuildContext {
    EGLDisplay display;
    EGLContext context;
};

static EGLConfig config_of_current_context(EGLDisplay display) {
    EGLint config_id = 0;
    if (!eglQueryContext(display, eglGetCurrentContext(), EGL_CONFIG_ID, &config_id)) return nullptr;
    const EGLint attributes[] = {EGL_CONFIG_ID, config_id, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) return nullptr;
    return config;
}

BuildContext* create_build_context() {
    const EGLDisplay display = eglGetCurrentDisplay();
    const EGLConfig config = display != EGL_NO_DISPLAY ? config_of_current_context(display) : nullptr;
    // clang-format off
    const EGLint attributes[] = {
        EGL_CONTEXT_MAJOR_VERSION, 4,
        EGL_CONTEXT_MINOR_VERSION, 5,
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
        EGL_NONE,
    };
    // clang-format on
    const EGLContext context =
        config ? eglCreateContext(display, config, eglGetCurrentContext(), attributes) : EGL_NO_CONTEXT;
    BuildContext* made = context != EGL_NO_CONTEXT ? static_cast<BuildContext*>(malloc(sizeof(BuildContext))) : nullptr;
    if (!made) {
        if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
        log_message("build context: none that shares the player's objects (EGL error 0x%X)", eglGetError());
        return nullptr;
    }
    *made = BuildContext{display, context};
    return made;
}

bool make_build_context_current(BuildContext* context) {
    return eglMakeCurrent(context->display, EGL_NO_SURFACE, EGL_NO_SURFACE, context->context) == EGL_TRUE;
}

void release_build_context() {
    eglMakeCurrent(eglGetCurrentDisplay(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void delete_build_context(BuildContext* context) {
    if (!context) return;
    eglDestroyContext(context->display, context->context);
    free(context);
}
