#include "app/main_loop.h"

#include <windows.h>

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>

#include "app/app_settings.h"
#include "app/desktop_watch.h"
#include "app/folder_watch.h"
#include "app/frame_rate_cap.h"
#include "app/log.h"
#include "app/pass_set_requests.h"
#include "app/pause_state.h"
#include "app/reload_watch.h"
#include "app/settings_file.h"
#include "desktop/platform_services.h"
#include "gl/gl_context.h"
#include "render/frame_clock.h"
#include "render/frame_rendering.h"
#include "render/pass_set_install.h"

// The set whose first frame is still to be reported, once presented.
static bool first_frame_pending = false;
static char* pending_path = nullptr;

static void install_and_announce(const char* path, InstallRule rule) {
    if (!install_pass_set(path, rule)) return;
    // Copied first: `path` may be the watch's own, which the watch replaces.
    char* installed = path ? strdup(path) : nullptr;
    // Saves to the playing set's files install it again; the built-in set
    // has none.
    watch_pass_set(installed);
    watch_folder_of(installed);
    free(pending_path);
    pending_path = installed;
    first_frame_pending = true;
}

static void announce_first_frame() {
    if (!first_frame_pending) return;
    first_frame_pending = false;
    log_message("first frame presented: %s", pending_path);
    free(pending_path);
    pending_path = nullptr;
}

void install_first_pass_set(const char* argument_path) {
    char* forwarded_path = nullptr;
    const bool forwarded = take_pass_set_request(&forwarded_path);
    install_and_announce(forwarded ? forwarded_path : argument_path, InstallRule::MainMustBuild);
    free(forwarded_path);
}

static void carry_out_pass_set_request() {
    char* path = nullptr;
    if (!take_pass_set_request(&path)) return;
    install_and_announce(path, InstallRule::MainMustBuild);
    free(path);
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
    carry_out_pass_set_request();
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

void run_main_loop() {
    start_frame_clock();
    for (;;) {
        if (drain_messages()) break;
        carry_out_pending_work();
        if (!drawing_allowed()) {
            // Time stands still while nothing is shown.
            pause_frame_clock();
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
