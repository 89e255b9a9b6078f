#include "app/single_instance.h"

#include <windows.h>

#include <cstdlib>

#include "app/forwarded_request.h"
#include "app/instance_name.h"
#include "base/log.h"
#include "base/text_encoding.h"

// The running player answers between two frames, and during its start-up
// between two steps; one that has not answered within this is hung, and the
// later start must not hang with it.
static const DWORD kForwardTimeoutMs = 5000;
// The system deems a thread hung that handled no message for 5 s, and a
// send to it gives up at once; the player may only be busy, so the later
// start tries again until its deadline.
static const DWORD kRetryAfterMs = 100;
// A set is built before it plays; a slow one takes seconds.
static const DWORD kOutcomeTimeoutMs = 30000;
static const DWORD kQuitTimeoutMs = 10000;

static const char kOutcomeMessageName[] = "Lumenfold_Velvetdusk_Outcome";

static HWND find_running_host_window() {
    HWND explorer = ::FindWindowExA(::GetDesktopWindow(), nullptr, "Progman", "Program Manager");
    HWND running = explorer ? ::FindWindowExA(explorer, nullptr, kInstanceName, kInstanceName) : nullptr;
    // When the running player could not attach to the desktop it stays a
    // top-level window; a forward must still reach it there.
    if (!running) running = ::FindWindowExA(nullptr, nullptr, kInstanceName, kInstanceName);
    return running;
}

// The name is held by a player that starts (no window yet), runs, or ends
// (its windows gone, its process not yet): a start right after a player
// ended must play, not fail. The holder owns the mutex, so its end hands
// the mutex over, abandoned, to this start.
static InstanceRole wait_for_player_or_its_end(HANDLE mutex) {
    const ULONGLONG deadline = ::GetTickCount64() + kForwardTimeoutMs;
    for (;;) {
        if (find_running_host_window()) return InstanceRole::Later;
        const DWORD waited = ::WaitForSingleObject(mutex, kRetryAfterMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            log_message("the player before this one has ended; this one plays");
            return InstanceRole::First;
        }
        if (::GetTickCount64() >= deadline) return InstanceRole::Later;
    }
}

InstanceRole claim_single_instance() {
    // NOTE: the handle is deliberately never closed and the mutex never
    // released; the system abandons it when the main thread ends, which
    // wakes a start that waits for it.
    HANDLE mutex = ::CreateMutexA(nullptr, TRUE, kInstanceName);
    if (!mutex) return InstanceRole::Unknown;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return InstanceRole::First;
    return wait_for_player_or_its_end(mutex);
}

static UINT outcome_message() { return ::RegisterWindowMessageA(kOutcomeMessageName); }

void post_forward_outcome(unsigned reply_thread, ForwardOutcome outcome) {
    if (reply_thread) ::PostThreadMessageA(reply_thread, outcome_message(), static_cast<WPARAM>(outcome), 0);
}

// The running player's working folder is not this start's: a relative path
// must name the file it names here.
static char* full_path_of(const char* path) {
    uint16_t* wide = utf16_from_utf8(path, nullptr);
    if (!wide) return nullptr;
    const LPCWSTR relative = reinterpret_cast<LPCWSTR>(wide);
    const DWORD needed = ::GetFullPathNameW(relative, 0, nullptr, nullptr);
    char* full = nullptr;
    if (needed > 0) {
        wchar_t* buffer = static_cast<wchar_t*>(malloc(needed * sizeof(wchar_t)));
        const DWORD length = buffer ? ::GetFullPathNameW(relative, needed, buffer, nullptr) : 0;
        if (length > 0 && length < needed) full = utf8_from_utf16(reinterpret_cast<const uint16_t*>(buffer), length);
        free(buffer);
    }
    free(wide);
    return full;
}

struct SendResult {
    bool answered;
    bool window_gone;
    LRESULT answer;
};

// Sends until the player answers or the deadline passes.
static SendResult send_until_answered(HWND running, COPYDATASTRUCT* data) {
    const ULONGLONG deadline = ::GetTickCount64() + kForwardTimeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return SendResult{false, false, 0};
        DWORD_PTR answer = 0;
        if (::SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(data), SMTO_ABORTIFHUNG,
                                  static_cast<UINT>(deadline - now), &answer)) {
            return SendResult{true, false, static_cast<LRESULT>(answer)};
        }
        if (!::IsWindow(running)) return SendResult{false, true, 0};
        ::Sleep(kRetryAfterMs);
    }
}

static const char* refusal_reason(LRESULT answer) {
    switch (answer) {
        case kForwardNoSuchMonitor:
            return "it has no such monitor";
        case kForwardUnreadable:
            return "it cannot read the pass set";
        default:
            return "it cannot make sense of the request";
    }
}

// The outcome of a request the player took, or -1 when none came in time.
static int wait_for_outcome() {
    const ULONGLONG deadline = ::GetTickCount64() + kOutcomeTimeoutMs;
    const UINT message_id = outcome_message();
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == message_id) return static_cast<int>(message.wParam);
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return -1;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

static int report_outcome(HWND running, const PlayerArguments& arguments) {
    const int outcome = wait_for_outcome();
    if (outcome == kOutcomeNotInstalled) {
        log_message("SendMessage wnd:%X: the running player could not install %s; its log says why",
                    handle_bits(running), arguments.path ? outside_text(arguments.path).text : "the built-in set");
        return 1;
    }
    log_message("SendMessage wnd:%X", handle_bits(running));
    if (outcome == kOutcomeReplaced) log_message("a newer request replaced this one before it was installed");
    if (outcome < 0)
        log_message("the running player took the request; its build takes longer than %lu s", kOutcomeTimeoutMs / 1000);
    return 0;
}

// The uninstaller removes files right after: the player must be gone.
static int wait_for_quit(HWND running) {
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(running, &process_id);
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, process_id);
    const bool ended = !process || ::WaitForSingleObject(process, kQuitTimeoutMs) == WAIT_OBJECT_0;
    if (process) ::CloseHandle(process);
    log_message("SendMessage wnd:%X", handle_bits(running));
    if (ended) return 0;
    log_message("the running player did not end within %lu s", kQuitTimeoutMs / 1000);
    return 1;
}

static int deliver(HWND running, const PlayerArguments& arguments) {
    // A thread message queue of its own, for the outcome.
    MSG ignored;
    ::PeekMessageA(&ignored, nullptr, 0, 0, PM_NOREMOVE);
    uint32_t kind = 0;
    size_t size = 0;
    void* payload = encode_forwarded_request(arguments, ::GetCurrentThreadId(), &kind, &size);
    if (!payload) {
        log_message("no memory for the request");
        return 1;
    }
    COPYDATASTRUCT data = {kind, static_cast<DWORD>(size), payload};
    const SendResult sent = send_until_answered(running, &data);
    free(payload);
    if (sent.window_gone) {
        log_message("SendMessage wnd:%X: the running player ended before it answered", handle_bits(running));
        return kRunningPlayerEnded;
    }
    if (!sent.answered) {
        log_message("SendMessage wnd:%X got no answer within %lu ms: the running player does not respond",
                    handle_bits(running), kForwardTimeoutMs);
        return 1;
    }
    if (sent.answer != kForwardTaken) {
        log_message("SendMessage wnd:%X: the running player refused the request: %s", handle_bits(running),
                    refusal_reason(sent.answer));
        return 1;
    }
    return arguments.action == PlayerAction::Quit ? wait_for_quit(running) : report_outcome(running, arguments);
}

int forward_to_running_instance(const PlayerArguments& arguments) {
    HWND running = find_running_host_window();
    if (!running) {
        log_message("SendMessage wnd:0: no running player was found");
        return 1;
    }
    if (arguments.action == PlayerAction::Resume) {
        // Already playing: nothing to resume.
        log_message("SendMessage wnd:%X: the player already runs", handle_bits(running));
        return 0;
    }
    PlayerArguments absolute = arguments;
    char* full_path = arguments.path ? full_path_of(arguments.path) : nullptr;
    if (full_path) absolute.path = full_path;
    const int exit_code = deliver(running, absolute);
    free(full_path);
    return exit_code;
}
