#include "app/main_loop.h"

#include <windows.h>

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>

#include "app/app_settings.h"
#include "app/desktop_watch.h"
#include "app/folder_watch.h"
#include "app/frame_rate_cap.h"
#include "app/notification_window.h"
#include "app/pass_set_requests.h"
#include "app/pause_state.h"
#include "app/player_events.h"
#include "app/reload_watch.h"
#include "app/settings_file.h"
#include "app/single_instance.h"
#include "base/log.h"
#include "desktop/platform_services.h"
#include "gl/gl_context.h"
#include "render/frame_clock.h"
#include "render/frame_rendering.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"

// The set whose first frame is still to be reported, once presented.
static bool first_frame_pending = false;
static char* pending_path = nullptr;

static bool install_and_announce(const char* path, InstallRule rule) {
    if (!install_pass_set(path, rule)) return false;
    // Copied first: `path` may be the watch's own, which the watch replaces.
    char* installed = path ? strdup(path) : nullptr;
    // Saves to the playing set's files install it again; the built-in set
    // has none.
    watch_pass_set(installed);
    watch_folder_of(installed);
    free(pending_path);
    pending_path = installed;
    first_frame_pending = true;
    return true;
}

static void announce_first_frame() {
    if (!first_frame_pending) return;
    first_frame_pending = false;
    log_message("first frame presented: %s", pending_path);
    free(pending_path);
    pending_path = nullptr;
}

static void answer_replaced_requests() {
    uint32_t reply_thread = 0;
    while (take_replaced_reply(&reply_thread)) post_forward_outcome(reply_thread, kOutcomeReplaced);
}

static void carry_out(const PassSetRequest& request) {
    const bool installed = install_and_announce(request.path, InstallRule::MainMustBuild);
    post_forward_outcome(request.reply_thread, installed ? kOutcomeInstalled : kOutcomeNotInstalled);
    free(request.path);
}

static void carry_out_pass_set_requests() {
    PassSetRequest request;
    while (take_pass_set_request(&request)) carry_out(request);
    answer_replaced_requests();
}

void install_first_pass_set(const char* argument_path) {
    PassSetRequest forwarded;
    if (take_pass_set_request(&forwarded)) {
        carry_out(forwarded);
    } else {
        install_and_announce(argument_path, InstallRule::MainMustBuild);
    }
    carry_out_pass_set_requests();
}


// What the windows reported during the drain, carried out here, outside
// their messages: the desktop watch may replace the host window and move the
// GL context, which no window procedure may do under its own feet.
static void act_on_window_reports(HWND notification_window) {
    bool look_now = take_player_event(kEventDesktopLookDue);
    if (take_player_event(kEventHostWindowGone)) {
        notice_host_window_gone();
        look_now = true;
    }
    if (take_player_event(kEventShellStarted)) {
        notice_shell_started();
        look_now = true;
    }
    if (take_player_event(kEventDisplaysChanged)) {
        follow_primary_screen();
        follow_display_refresh_rate();
    }
    if (!look_now) return;
    watch_desktop();
    arm_desktop_watch_timer(notification_window, desktop_watch_interval_ms());
}

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

// A save that does not build leaves the playing set as it is.
static void reload_after_save() {
    const double now = current_time_seconds();
    if (folder_changed()) note_folder_change(now);
    if (!pass_set_changed_on_disk(now)) return;
    log_message("pass set changed on disk: %s", watched_pass_set());
    install_and_announce(watched_pass_set(), InstallRule::EveryPassMustBuild);
}

// Work that comes between frames, also while nothing is drawn: a forwarded
// pass set is installed at once and shows when drawing goes on.
static void carry_out_pending_work() {
    carry_out_pass_set_requests();
    check_settings_file();
    reload_after_save();
}

static bool drawing_allowed() { return desktop_allows_drawing() && !player_paused(); }

// Until the saves in the pass set's folder have settled, if some are.
static DWORD milliseconds_until_reload_check() {
    const double seconds = seconds_until_reload_check(current_time_seconds());
    return seconds < 0.0 ? INFINITE : static_cast<DWORD>(seconds * 1000.0) + 1;
}

// Blocks until a message arrives, a watched handle (a setting or the pass
// set's folder changed, the frame timer when given) is signalled, or saves
// have settled.
static void wait_for_events(HANDLE timer) {
    HANDLE handles[3];
    DWORD count = 0;
    if (settings_change_handle()) handles[count++] = settings_change_handle();
    if (folder_change_handle()) handles[count++] = folder_change_handle();
    if (timer) handles[count++] = timer;
    ::MsgWaitForMultipleObjectsEx(count, handles, milliseconds_until_reload_check(), QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
}

static void draw_and_present() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    render_frame();
    present_frame(gl_device_context, AppSettings.swap_interval);
    announce_first_frame();
    note_frame_presented();
}

void run_main_loop(HWND notification_window) {
    start_frame_clock();
    arm_desktop_watch_timer(notification_window, desktop_watch_interval_ms());
    for (;;) {
        if (drain_messages()) break;
        // The tray icon goes at once; the rest of the player follows it.
        if (take_player_event(kEventExitWanted)) {
            destroy_notification_window(notification_window);
            break;
        }
        act_on_window_reports(notification_window);
        carry_out_pending_work();
        if (!drawing_allowed()) {
            // Time stands still while nothing is shown; a set whose iTime
            // has grown coarse starts afresh here, where nobody sees it.
            if (rest_frame_clock() && render_resources_exist()) clear_render_targets();
            wait_for_events(nullptr);
            continue;
        }
        if (!frame_may_start()) {
            // Messages are still handled while the cap holds the frame back.
            wait_for_events(frame_timer());
            continue;
        }
        resume_frame_clock();
        note_frame_start();
        draw_and_present();
    }
}
