#include "app/single_instance.h"

#include <windows.h>

#include <cstring>

#include "app/instance_name.h"
#include "app/log.h"

InstanceRole claim_single_instance() {
    // NOTE: the handle is deliberately never closed; the system releases the
    // mutex when the process ends, which is what frees the name.
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, kInstanceName);
    if (!mutex) return InstanceRole::Unknown;
    return ::GetLastError() == ERROR_ALREADY_EXISTS ? InstanceRole::Later : InstanceRole::First;
}

static HWND find_running_host_window() {
    HWND explorer = ::FindWindowExA(::GetDesktopWindow(), nullptr, "Progman", "Program Manager");
    HWND running = explorer ? ::FindWindowExA(explorer, nullptr, kInstanceName, kInstanceName) : nullptr;
    // When the running player could not attach to the desktop it stays a
    // top-level window; a forward must still reach it there.
    if (!running) running = ::FindWindowExA(nullptr, nullptr, kInstanceName, kInstanceName);
    return running;
}

// The player takes a forwarded path over between two frames; a player that
// does not answer within this is hung, and the start must not hang with it.
static const UINT kForwardTimeoutMs = 5000;

int forward_to_running_instance(const char* path) {
    COPYDATASTRUCT data;
    data.dwData = 0;
    data.cbData = path ? static_cast<DWORD>(strlen(path) + 1) : 0;
    data.lpData = const_cast<char*>(path);

    HWND running = find_running_host_window();
    DWORD_PTR answer = 0;
    if (running && !::SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                          SMTO_ABORTIFHUNG, kForwardTimeoutMs, &answer)) {
        log_message("SendMessage wnd:%X got no answer within %u ms: the running player does not respond",
                    handle_bits(running), kForwardTimeoutMs);
        return 1;
    }
    log_message("SendMessage wnd:%X", handle_bits(running));
    return running ? 0 : 1;
}
