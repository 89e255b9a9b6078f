#include "app/main_loop.h"

#include <windows.h>

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>

#include "app/app_settings.h"
#include "app/desktop_watch.h"
#include "app/folder_watch.h"
#include "app/frame_rate_cap.h"
#include "app/gpu_budget.h"
#include "app/monitor_arrangement.h"
#include "app/message_pump.h"
#include "app/monitor_choices.h"
#include "app/notification_window.h"
#include "app/pass_set_requests.h"
#include "app/pause_state.h"
#include "app/player_events.h"
#include "app/player_sets.h"
#include "app/playlists.h"
#include "app/reload_watch.h"
#include "app/set_builds.h"
#include "app/settings_file.h"
#include "app/single_instance.h"
#include "app/sound_listening.h"
#include "base/folder_listing.h"
#include "base/log.h"
#include "desktop/monitor_watch.h"
#include "desktop/platform_services.h"
#include "gl/gl_context.h"
#include "render/frame_fence.h"

// The set whose first frame is still to be reported, once presented.
static bool first_frame_pending = false;
static char* pending_path = nullptr;
// When the displays changed and brought sets of their own, in ms.
static unsigned long long new_monitor_since = 0;

static char* strdup_or_null(const char* text) { return text ? strdup(text) : nullptr; }

static void announce_when_presented(const char* path) {
    free(pending_path);
    pending_path = strdup_or_null(path);
    first_frame_pending = true;
}

// Watches the set at `path` (null: none) for saves, as `stamps` saw it.
static void watch_for_saves(const char* path, const PassSetStamps& stamps) {
    watch_pass_set(path, stamps);
    watch_folder_of(path);
}

// A build's first_set_kind: 0 for any set but the first.
static const int kNotTheFirstSet = 0;
static int first_set_kind(FirstPassSet kind) { return static_cast<int>(kind) + 1; }

// What every install that changes what is watched does once it plays.
static void announce_installed(const SetBuild& build) {
    gpu_budget_meets_new_set();
    watch_for_saves(build.path, build.stamps);
    announce_when_presented(build.path);
}

static void play_builtin_while_watching(const char* path, const PassSetStamps& stamps);

// A first set that does not build, named or forwarded before the loop ran,
// leaves the built-in set playing in its place.
static void answer_request(const SetBuild& build, bool installed) {
    post_forward_outcome(build.reply_thread, installed ? kOutcomeInstalled : kOutcomeNotInstalled);
    if (!installed && build.first_set_kind) play_builtin_while_watching(build.path, build.stamps);
}

// A save rebuilds only the sets that play the saved set; a set that is
// installed anew (every set, or a reload) is the one the watch follows. A
// watched set that no set plays (a first set that did not build, while the
// built-in one stands in) goes on every set once it builds.
static void saved_set_built(const SetBuild& build, bool installed) {
    if (installed) announce_installed(build);
}

static void rebuild_saved_set(const char* path) {
    const SetBuildReach reach = any_set_playing(path) ? SetBuildReach::SetsPlayingIt : SetBuildReach::EverySet;
    begin_set_build(new_set_build(path, InstallRule::EveryPassMustBuild, reach, saved_set_built));
}

static void announce_new_monitor() {
    if (!new_monitor_since) return;
    log_message("new monitor: first frame %llu ms after the display change", ::GetTickCount64() - new_monitor_since);
    new_monitor_since = 0;
}

static void announce_first_frame() {
    if (!first_frame_pending) return;
    first_frame_pending = false;
    log_message("first frame presented: %s", outside_text(pending_path).text);
    free(pending_path);
    pending_path = nullptr;
}

static void answer_replaced_requests() {
    uint32_t reply_thread = 0;
    while (take_replaced_reply(&reply_thread)) post_forward_outcome(reply_thread, kOutcomeReplaced);
}

static void monitor_set_built(const SetBuild& build, bool installed) {
    if (installed) {
        gpu_budget_meets_new_set();
        stop_playlist_on(build.identity);
        remember_monitor_choice(build.identity, build.path);
        remember_pass_set(build.identity, build.path);
        announce_when_presented(build.path);
    }
    answer_request(build, installed);
}

// A set for one monitor leaves the watch on what every monitor plays.
static void play_on_numbered_monitor(const PassSetRequest& request, int first_kind) {
    const char* identity = identity_of_monitor(request.monitor);
    const char* path = request.path;
    if (!identity) {
        log_message("monitor %d: no such monitor", request.monitor);
        post_forward_outcome(request.reply_thread, kOutcomeNotInstalled);
        if (first_kind) play_builtin_while_watching(path, read_pass_set_stamps(path));
        return;
    }
    if (path && is_folder(path)) {
        remember_monitor_choice(identity, path);
        remember_pass_set(identity, path);
        const bool installed = play_playlist_on(identity, path);
        post_forward_outcome(request.reply_thread, installed ? kOutcomeInstalled : kOutcomeNotInstalled);
        return;
    }
    SetBuild* build = new_set_build(path, InstallRule::MainMustBuild, SetBuildReach::OneMonitor, monitor_set_built);
    if (!build) return;
    build->identity = strdup(identity);
    build->reply_thread = request.reply_thread;
    build->first_set_kind = first_kind;
    begin_set_build(build);
}

// What plays on every monitor is what the next --resume brings back, on
// every monitor.
static void chosen_for_every_monitor(const char* path) {
    remember_pass_set(kEveryMonitorKey, path);
    forget_monitor_choices();
    forget_monitor_pass_sets();
}

// A folder is a playlist on every monitor; the built-in set plays while it
// has no set that builds.
static void play_folder_on_every_monitor(const char* folder) {
    chosen_for_every_monitor(folder);
    play_playlist_everywhere(folder);
    announce_when_presented(folder);
}

static void every_monitor_set_built(const SetBuild& build, bool installed) {
    if (installed) {
        announce_installed(build);
        stop_playlists();
        chosen_for_every_monitor(build.path);
    }
    answer_request(build, installed);
}

static void play_on_every_monitor(const PassSetRequest& request, int first_kind) {
    if (request.path && is_folder(request.path)) {
        play_folder_on_every_monitor(request.path);
        post_forward_outcome(request.reply_thread, kOutcomeInstalled);
        return;
    }
    SetBuild* build =
        new_set_build(request.path, InstallRule::MainMustBuild, SetBuildReach::EverySet, every_monitor_set_built);
    if (!build) return;
    build->reply_thread = request.reply_thread;
    build->first_set_kind = first_kind;
    // Monitors that come before the first set is built play it too.
    if (first_kind) watch_for_saves(request.path, build->stamps);
    begin_set_build(build);
}

// The answer goes back once the set is built and installed, or not.
static void carry_out(const PassSetRequest& request, int first_kind = kNotTheFirstSet) {
    if (request.monitor > 0) {
        play_on_numbered_monitor(request, first_kind);
    } else {
        play_on_every_monitor(request, first_kind);
    }
    free(request.path);
}

static void carry_out_pass_set_requests() {
    PassSetRequest request;
    while (take_pass_set_request(&request)) carry_out(request);
    answer_replaced_requests();
}

static void stand_in_built(const SetBuild& build, bool installed) {
    if (!installed) return;
    announce_installed(build);
    log_message("playing the built-in set until %s builds", outside_text(build.stand_in_for).text);
    watch_for_saves(build.stand_in_for, build.stand_in_stamps);
}

// A first set that is missing or does not build leaves nothing to draw:
// the built-in set plays instead, and the named set stays watched as
// `stamps` saw it before it was read, so the save that mends it plays it.
static void play_builtin_while_watching(const char* path, const PassSetStamps& stamps) {
    if (!path) return;
    SetBuild* build = new_set_build(nullptr, InstallRule::MainMustBuild, SetBuildReach::EverySet, stand_in_built);
    if (!build) return;
    build->stand_in_for = strdup(path);
    build->stand_in_stamps = stamps;
    begin_set_build(build);
}

static void first_set_built(const SetBuild& build, bool installed) {
    if (installed) {
        announce_installed(build);
        if (build.first_set_kind == first_set_kind(FirstPassSet::Chosen) && build.path) {
            chosen_for_every_monitor(build.path);
        }
        return;
    }
    if (build.first_set_kind == first_set_kind(FirstPassSet::Resumed) && build.path) {
        log_message("resume: %s does not build; the built-in set plays", outside_text(build.path).text);
    }
    play_builtin_while_watching(build.path, build.stamps);
}

// The first set builds while the loop runs: monitors that come before it
// is built play it too, since it is watched from the start (it is, whether
// it builds or the built-in set stands in for it).
static void build_first_set(const char* path, FirstPassSet kind) {
    SetBuild* build = new_set_build(path, InstallRule::MainMustBuild, SetBuildReach::EverySet, first_set_built);
    if (!build) return;
    build->first_set_kind = first_set_kind(kind);
    watch_for_saves(path, build->stamps);
    begin_set_build(build);
}

void install_first_pass_set(const char* argument_path, FirstPassSet kind) {
    PassSetRequest forwarded;
    if (take_pass_set_request(&forwarded)) {
        carry_out(forwarded, first_set_kind(kind));
    } else if (argument_path && is_folder(argument_path)) {
        // A folder plays as a playlist even when none of its sets builds.
        play_folder_on_every_monitor(argument_path);
    } else {
        build_first_set(argument_path, kind);
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
        const unsigned long long changed_at = ::GetTickCount64();
        follow_monitors();
        if (arrange_monitors(arranged_layout()) > 0) new_monitor_since = changed_at;
        follow_display_refresh_rate();
    }
    if (!look_now) return;
    watch_desktop();
    arm_desktop_watch_timer(notification_window, desktop_watch_interval_ms());

}

// A save that does not build leaves the playing set as it is.
static void reload_after_save() {
    const double now = current_time_seconds();
    if (folder_changed()) note_folder_change(now);
    if (!pass_set_changed_on_disk(now)) return;
    log_message("pass set changed on disk: %s", outside_text(watched_pass_set()).text);
    rebuild_saved_set(watched_pass_set());
}

// Work that comes between frames, also while nothing is drawn: a forwarded
// pass set starts building at once, and is installed once it is built.
static void carry_out_pending_work() {
    finish_set_builds();
    carry_out_pass_set_requests();
    advance_playlists();
    check_settings_file();
    reload_after_save();
}

static bool drawing_allowed() { return desktop_allows_drawing() && !player_paused() && any_player_set_awake(); }

// Until the saves in the pass set's folder have settled, if some are.
static DWORD milliseconds_until_reload_check() {
    const double seconds = seconds_until_reload_check(current_time_seconds());
    return seconds < 0.0 ? INFINITE : static_cast<DWORD>(seconds * 1000.0) + 1;
}

// Blocks until a message arrives, a watched handle (a setting or the pass
// set's folder changed, the frame timer when given) is signalled, saves
// have settled or `timeout_ms` passed.
static void wait_for_events(HANDLE timer, DWORD timeout_ms = INFINITE) {
    DWORD reload_ms = milliseconds_until_reload_check();
    // A set that builds elsewhere is looked for now and then.
    if (set_builds_pending() && reload_ms > static_cast<DWORD>(set_build_poll_ms())) reload_ms = set_build_poll_ms();
    HANDLE handles[3];
    DWORD count = 0;
    if (settings_change_handle()) handles[count++] = settings_change_handle();
    if (folder_change_handle()) handles[count++] = folder_change_handle();
    if (timer) handles[count++] = timer;
    wait_for_messages_or(handles, count, timeout_ms < reload_ms ? timeout_ms : reload_ms);
}

// The frame presented last, until the GL has done it.
static FrameFence presented_frame = {nullptr};
// How often the loop looks at the fence while it handles what comes.
static const DWORD kFencePollMs = 1;

static void draw_and_present() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    follow_sound_channels(true);
    // A frame that gave way is drawn afresh once the loop has done what came.
    if (!draw_player_sets()) return;
    present_frame(gl_device_context, AppSettings.swap_interval);
    place_frame_fence(&presented_frame);
    announce_first_frame();
    announce_new_monitor();
    note_frame_presented();
    govern_gpu_budget();
}

void run_main_loop(HWND notification_window) {
    arm_desktop_watch_timer(notification_window, desktop_watch_interval_ms());
    for (;;) {
        if (drain_messages()) break;
        // The tray icon goes at once; the rest of the player follows it.
        if (take_player_event(kEventExitWanted)) {
            // Said first: taking the icon away waits for the shell.
            log_longest_without_messages();
            drop_frame_fence(&presented_frame);
            destroy_notification_window(notification_window);
            return;
        }
        act_on_window_reports(notification_window);
        carry_out_pending_work();
        if (!drawing_allowed()) {
            // Time stands still while nothing is shown; a set whose iTime
            // has grown coarse starts afresh here, where nobody sees it.
            rest_player_sets();
            follow_sound_channels(false);
            wait_for_events(nullptr);
            continue;
        }
        // A set that compiles in a moment does it soonest without a frame
        // beside it, and one that has compiled is installed before the next
        // frame: a frame begun now could hold its answer for a whole band.
        if (set_build_worth_waiting_for()) {
            wait_for_events(nullptr, static_cast<DWORD>(set_build_poll_ms()));
            continue;
        }
        // The next frame starts once the GL is done with the last one; until
        // then the loop goes round, answering.
        if (!frame_fence_passed(&presented_frame)) {
            wait_for_events(nullptr, kFencePollMs);
            continue;
        }
        if (!frame_may_start()) {
            // Messages are still handled while the cap holds the frame back.
            wait_for_events(frame_timer());
            continue;
        }
        wake_player_sets();
        note_frame_start();
        draw_and_present();
    }
    drop_frame_fence(&presented_frame);
    log_longest_without_messages();
}
