#include "app/desktop_watch.h"

#include "app/host_window.h"
#include "base/log.h"
#include "desktop/reattach_policy.h"
#include "gl/gl_context.h"

enum class DesktopState {
    Attached,         // a child of the shell's desktop, drawing
    TopLevel,         // no desktop was found at start-up: a pop-up, drawing
    WaitingForShell,  // the desktop went away: hidden, not drawing
};

static const ULONGLONG kEagerLookingMs = 30000;

static HINSTANCE module_instance = nullptr;
static HWND host_window = nullptr;
static DesktopAttachment attachment = {DesktopLayout::None, nullptr, nullptr, nullptr};
static DesktopState state = DesktopState::TopLevel;
static bool host_window_gone = false;

static ReattachPolicy policy = {0};
// Looking for a shell: always while waiting for one, and for a top-level
// player once a shell announced itself.
static bool looking_for_shell = false;
static ULONGLONG looking_since = 0;
static bool shell_announced = false;
static ULONGLONG next_try_at = 0;
static ULONGLONG shell_seen_at = 0;
static ULONGLONG attached_at = 0;
static bool first_frame_after_return = false;
static ULONGLONG attaching_took = 0;

void start_desktop_watch(HINSTANCE instance, HWND window, const DesktopAttachment& first_attachment,
                         WithoutDesktop without_desktop) {
    module_instance = instance;
    host_window = window;
    attachment = first_attachment;
    state = attachment.layout == DesktopLayout::None ? DesktopState::TopLevel : DesktopState::Attached;
    attached_at = ::GetTickCount64();
    if (state != DesktopState::TopLevel || without_desktop != WithoutDesktop::WaitHidden) return;
    // At logon the shell may take minutes to build its desktop; a pop-up
    // over the empty screen meanwhile is what nobody wants to see.
    log_message("desktop: none yet; waiting hidden for the shell");
    state = DesktopState::WaitingForShell;
    looking_for_shell = true;
    looking_since = attached_at;
    next_try_at = attached_at;
}

HWND current_host_window() { return host_window; }

bool desktop_allows_drawing() { return state != DesktopState::WaitingForShell && !host_window_gone; }

// A hidden window takes the old one's place at once: a later start must
// find the player, and the context needs a window to stay current on.
static void replace_host_window() {
    host_window_gone = false;
    if (host_window && ::IsWindow(host_window)) destroy_host_window(host_window);
    host_window = create_hidden_host_window(module_instance);
    if (!host_window) {
        log_message("desktop: no stand-in window (error %lu)", ::GetLastError());
        return;
    }
    if (!move_gl_context_to(host_window)) {
        log_message("desktop: the GL context did not move (error %lu)", ::GetLastError());
    }
}

static void lose_desktop(ULONGLONG now) {
    log_message("desktop lost");
    restore_wallpaper_worker(attachment);
    attachment = DesktopAttachment{DesktopLayout::None, nullptr, nullptr, nullptr};
    state = DesktopState::WaitingForShell;
    replace_host_window();
    count_lost_desktop(&policy, now - attached_at);
    looking_for_shell = true;
    looking_since = now;
    shell_announced = false;
    shell_seen_at = 0;
    next_try_at = now + reattach_delay_ms(policy);
    if (policy.failures > 0) {
        log_message("desktop: the last one held only %llu ms; next try in %u ms",
                    static_cast<unsigned long long>(now - attached_at), reattach_delay_ms(policy));
    }
}

static void count_failure(ULONGLONG now) {
    count_failed_attachment(&policy);
    next_try_at = now + reattach_delay_ms(policy);
    if (reattach_waits_for_announcement(policy)) {
        log_message("desktop: no attachment after %d tries; waiting for a shell to start", policy.failures);
    } else {
        log_message("desktop: attachment failed, next try in %u ms", reattach_delay_ms(policy));
    }
}

static void try_to_attach(ULONGLONG now) {
    if (!host_window) replace_host_window();
    if (!host_window) return;
    shell_announced = false;
    const ULONGLONG attaching_since = ::GetTickCount64();
    attachment = attach_to_desktop(host_window);
    attaching_took = ::GetTickCount64() - attaching_since;
    if (attachment.layout == DesktopLayout::None) {
        count_failure(now);
        return;
    }
    // NOTE: the stand-in was created hidden so that it never showed over the
    // user's windows; it appears only now, behind the icons.
    ::ShowWindow(host_window, SW_SHOWNA);
    state = DesktopState::Attached;
    looking_for_shell = false;
    attached_at = ::GetTickCount64();
    first_frame_after_return = true;
}

static void look_for_shell(ULONGLONG now) {
    if (!looking_for_shell || now < next_try_at) return;
    if (reattach_waits_for_announcement(policy) && !shell_announced) return;
    // Explorer builds its desktop windows over a few seconds.
    if (!desktop_shell_ready()) return;
    if (shell_seen_at == 0) shell_seen_at = now;
    try_to_attach(now);
}

void watch_desktop() {
    const ULONGLONG now = ::GetTickCount64();
    const bool attachment_lost = state == DesktopState::Attached && !attachment_intact(host_window, attachment);
    if (state != DesktopState::WaitingForShell && (host_window_gone || attachment_lost)) lose_desktop(now);
    if (state == DesktopState::WaitingForShell && host_window_gone) replace_host_window();
    look_for_shell(now);
}

void notice_host_window_gone() { host_window_gone = true; }

void notice_shell_started() {
    const ULONGLONG now = ::GetTickCount64();
    // A rebuilt taskbar alone (a DPI change) leaves the desktop intact.
    if (state == DesktopState::Attached && !host_window_gone && attachment_intact(host_window, attachment)) return;
    if (state == DesktopState::Attached) lose_desktop(now);
    looking_for_shell = true;
    looking_since = now;
    shell_announced = true;
    shell_seen_at = now;
    look_for_shell(now);
}

void follow_screen() {
    if (state == DesktopState::Attached) place_over_covered_screen(host_window, attachment);
    if (state == DesktopState::TopLevel) place_below_other_windows(host_window, covered_screen_rect());
}

unsigned desktop_watch_interval_ms() {
    // A shell that is coming back is looked for often: it builds its desktop
    // within seconds, and every one of them shows a blank desktop. One that
    // stays away is looked for once a second, not to wake a resting machine.
    const bool may_try = looking_for_shell && !(reattach_waits_for_announcement(policy) && !shell_announced);
    const bool recently = ::GetTickCount64() - looking_since < kEagerLookingMs;
    return may_try && recently ? 250 : 1000;
}

void note_frame_presented() {
    if (!first_frame_after_return) return;
    first_frame_after_return = false;
    log_message("desktop back: first frame %llu ms after the shell appeared (attaching took %llu ms)",
                static_cast<unsigned long long>(::GetTickCount64() - shell_seen_at),
                static_cast<unsigned long long>(attaching_took));
}

void leave_desktop_as_it_was() { restore_wallpaper_worker(attachment); }
