// The life of the player: start-up, the loop, teardown in reverse.
#include <windows.h>

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

#include "app/app_settings.h"
#include "app/host_window.h"
#include "app/instance_name.h"
#include "app/log.h"
#include "app/single_instance.h"
#include "desktop/desktop_layer.h"
#include "desktop/dpi_awareness.h"
#include "gl/gl_context.h"
#include "gl/gl_diagnostics.h"
#include "render/frame_rendering.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"

static void open_log_file() { freopen(kLogFileName, "w", stderr); }

static void close_log_file() { fclose(stderr); }

// Drains every queued message without waiting; true once WM_QUIT was seen.
static bool drain_messages() {
    bool quit = false;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
        if (message.message == WM_QUIT) quit = true;
    }
    return quit;
}

// Never waits for messages and never sleeps: presentation sets the pace, and
// a forwarded pass set is installed between two frames.
static void run_main_loop() {
    start_frame_clock();
    for (;;) {
        if (drain_messages()) break;
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        render_frame();
        present_frame(gl_device_context, AppSettings.swap_interval);
    }
}

// A later start that got through during start-up asked for a newer pass set
// than the argument.
static void install_first_pass_set(const char* argument_path) {
    char* forwarded_path = nullptr;
    const bool forwarded = take_path_forwarded_before_ready(&forwarded_path);
    install_pass_set(forwarded ? forwarded_path : argument_path);
    free(forwarded_path);
}

static int fail_without_gl_context(HWND window, HINSTANCE instance) {
    release_window_device_context(window, gl_device_context);
    ::DestroyWindow(window);
    ::UnregisterClassA(kInstanceName, instance);
    return 1;
}

int main(int argc, char** argv) {
    const char* path = argc >= 2 ? argv[1] : nullptr;

    switch (claim_single_instance()) {
        case InstanceRole::Unknown:
            return 0;
        case InstanceRole::Later:
            return forward_to_running_instance(path);
        case InstanceRole::First:
            break;
    }

    open_log_file();
    enable_dpi_awareness();

    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    register_host_window_class(instance);
    HWND window = create_host_window(instance);
    attach_to_desktop(window);

    if (!create_gl_context(window, AppSettings.gl_major_version, AppSettings.gl_minor_version)) {
        return fail_without_gl_context(window, instance);
    }
    ::wglMakeCurrent(gl_device_context, gl_render_context);
    log_gl_info();
    enable_gl_debug_output(AppSettings.debug_output);
    apply_swap_interval(AppSettings.swap_interval);

    ::ShowWindow(window, SW_SHOWDEFAULT);
    ::UpdateWindow(window);
    create_render_resources();
    install_first_pass_set(path);

    run_main_loop();

    uninstall_pass_set();
    destroy_render_resources();
    release_window_device_context(window, gl_device_context);
    delete_gl_context();
    ::DestroyWindow(window);
    ::UnregisterClassA(kInstanceName, instance);
    close_log_file();
    return 0;
}
