// The life of the player: start-up, the loop, teardown in reverse.
#include <windows.h>

#include <GL/glew.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_settings.h"
#include "app/desktop_watch.h"
#include "app/frame_rate_cap.h"
#include "app/host_window.h"
#include "app/instance_name.h"
#include "app/log_file.h"
#include "app/main_loop.h"
#include "app/message_pump.h"
#include "app/monitor_arrangement.h"
#include "app/notification_window.h"
#include "app/pausing.h"
#include "app/player_arguments.h"
#include "app/resume.h"
#include "app/set_builds.h"
#include "app/settings_file.h"
#include "app/single_instance.h"
#include "app/tray_menu.h"
#include "base/command_line.h"
#include "base/log.h"
#include "desktop/desktop_layer.h"
#include "desktop/dpi_awareness.h"
#include "desktop/monitor_watch.h"
#include "gl/gl_context.h"
#include "gl/gl_diagnostics.h"
#include "app/player_sets.h"
#include "render/pass_bands.h"
#include "render/pass_timing.h"
#include "render/render_resources.h"

static void time_gpu_work() {
    const bool software = gl_rasterizes_in_software();
    time_passes_by_finishing(software);
    if (software) log_message("gpu timing: the renderer draws on the CPU; passes are timed by finishing them");
}

static bool register_window_classes(HINSTANCE instance) {
    if (register_notification_window_class(instance) && register_host_window_class(instance)) return true;
    log_message("RegisterClassEx failed: error %lu", ::GetLastError());
    unregister_notification_window_class(instance);
    return false;
}

static void unregister_window_classes(HINSTANCE instance) {
    unregister_host_window_class(instance);
    unregister_notification_window_class(instance);
}

static int fail_without_window(HWND notification, HINSTANCE instance) {
    log_message("CreateWindowEx failed: error %lu", ::GetLastError());
    destroy_notification_window(notification);
    unregister_window_classes(instance);
    return 1;
}

static int fail_without_gl_context(HWND window, HWND notification, HINSTANCE instance) {
    release_window_device_context(window, gl_device_context);
    destroy_host_window(window);
    destroy_notification_window(notification);
    unregister_window_classes(instance);
    return 1;
}

// How long the end waits for a set still compiling before it leaves it.
static const int kBuildPatienceAtExitMs = 2000;

int main(int argc, char** argv) {
    int utf8_argc = 0;
    char** utf8_argv = utf8_arguments(argc, argv, &utf8_argc);
    PlayerArguments arguments;
    const char* problem = parse_player_arguments(utf8_argc, utf8_argv, &arguments);
    if (problem) {
        log_message("%s; %s", problem, kPlayerUsage);
        return 2;
    }

    switch (claim_single_instance()) {
        case InstanceRole::Unknown:
            return 0;
        case InstanceRole::Later: {
            const int exit_code = forward_to_running_instance(arguments);
            if (exit_code != kRunningPlayerEnded) return exit_code;
            if (claim_single_instance() != InstanceRole::First) return 1;
            break;
        }
        case InstanceRole::First:
            break;
    }
    // Nobody runs that could be asked to end.
    if (arguments.action == PlayerAction::Quit) return 0;
    const bool resuming = arguments.action == PlayerAction::Resume;
    if (resuming) resume_in_player_folder();

    if (!open_log_file()) return 1;
    remember_log_path(log_file_path());
    enable_dpi_awareness();
    // Read once the process is DPI aware, so every size is in physical pixels.
    start_monitor_watch();

    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (!register_window_classes(instance)) return 1;
    HWND notification = create_notification_window(instance);
    // A resumed player shows nothing until it is on the desktop.
    HWND window = nullptr;
    if (notification) window = resuming ? create_hidden_host_window(instance) : create_host_window(instance);
    if (!window) return fail_without_window(notification, instance);
    start_desktop_watch(instance, window, attach_to_desktop(window),
                        resuming ? WithoutDesktop::WaitHidden : WithoutDesktop::StayTopLevel);

    if (!create_gl_context(window, AppSettings.gl_major_version, AppSettings.gl_minor_version)) {
        return fail_without_gl_context(window, notification, instance);
    }
    ::wglMakeCurrent(gl_device_context, gl_render_context);
    log_gl_info();
    time_gpu_work();
    enable_gl_debug_output(AppSettings.debug_output);
    apply_swap_interval(AppSettings.swap_interval);

    if (desktop_allows_drawing()) {
        ::ShowWindow(window, resuming ? SW_SHOWNA : SW_SHOWDEFAULT);
        ::UpdateWindow(window);
    }
    start_frame_rate_cap();
    start_settings_file();
    start_pause_watch(notification);
    create_render_resources();
    // Without a build thread, sets build on this one, as they always can.
    start_background_builds();
    create_player_sets();
    if (resuming) resume_monitor_choices();
    char* resumed = resuming ? pass_set_to_resume() : nullptr;
    install_first_pass_set(resuming ? resumed : arguments.path,
                           resuming ? FirstPassSet::Resumed : FirstPassSet::Chosen);
    free(resumed);
    arrange_monitors(arranged_layout());

    // Only now: a request or an exit that comes while a frame is drawn is
    // the loop's to carry out, and it runs from here on.
    look_between_bands(handle_messages_between_bands, nullptr);
    run_main_loop(notification);
    look_between_bands(nullptr, nullptr);
    stop_set_builds(kBuildPatienceAtExitMs);

    stop_pause_watch();
    stop_settings_file();
    stop_frame_rate_cap();
    leave_desktop_as_it_was();
    destroy_player_sets();
    destroy_render_resources();
    HWND last_window = current_host_window();
    release_window_device_context(last_window, gl_device_context);
    delete_gl_context();
    destroy_host_window(last_window);
    destroy_notification_window(notification);
    unregister_window_classes(instance);
    close_log_file();
    return 0;
}
