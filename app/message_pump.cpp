#include "app/message_pump.h"

#include "app/pass_set_requests.h"
#include "app/player_events.h"
#include "app/set_builds.h"
#include "base/log.h"

static bool quit_seen = false;
// When the loop last looked at its messages, and the longest it went
// without.
static ULONGLONG last_looked_ms = 0;
static ULONGLONG longest_without_ms = 0;

static void note_look() {
    const ULONGLONG now = ::GetTickCount64();
    if (last_looked_ms && now - last_looked_ms > longest_without_ms) longest_without_ms = now - last_looked_ms;
    last_looked_ms = now;
}

// What a message does (a menu, a dialog) and a wait answer messages
// themselves: the stretch starts anew after them.
static void stretch_starts() { last_looked_ms = ::GetTickCount64(); }

bool drain_messages() {
    note_look();
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
        if (message.message == WM_QUIT) quit_seen = true;
    }
    stretch_starts();
    return quit_seen;
}

void wait_for_messages_or(const HANDLE* handles, DWORD count, DWORD timeout_ms) {
    note_look();
    ::MsgWaitForMultipleObjectsEx(count, handles, timeout_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    stretch_starts();
}

static bool frame_should_give_way() {
    return quit_seen || pass_set_request_waiting() || set_build_ready() || player_event_pending(kEventExitWanted) ||
           player_event_pending(kEventHostWindowGone) || player_event_pending(kEventShellStarted) ||
           player_event_pending(kEventDisplaysChanged);
}

bool handle_messages_between_bands(void*) {
    drain_messages();
    return frame_should_give_way();
}

void log_longest_without_messages() {
    log_message("longest without messages: %llu ms", longest_without_ms);
}
