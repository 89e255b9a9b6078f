#include "desktop/dpi_awareness.h"

#include <windows.h>

#include "desktop/dpi_choice.h"
#include "desktop/proc_address.h"
#include "desktop/windows_version.h"

typedef HANDLE(WINAPI* SetThreadDpiAwarenessContextProc)(HANDLE);
typedef HRESULT(WINAPI* SetProcessDpiAwarenessProc)(int);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and PROCESS_PER_MONITOR_DPI_AWARE,
// spelled out because older SDK headers lack them.
static const HANDLE kPerMonitorAwareV2Context = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
static const int kProcessPerMonitorDpiAware = 2;

static void set_thread_per_monitor_v2() {
    HMODULE user32 = ::LoadLibraryA("user32.dll");
    if (!user32) return;
    SetThreadDpiAwarenessContextProc set_context =
        find_proc_address<SetThreadDpiAwarenessContextProc>(user32, "SetThreadDpiAwarenessContext");
    if (set_context) set_context(kPerMonitorAwareV2Context);
    ::FreeLibrary(user32);
}

static void set_process_per_monitor() {
    HMODULE shcore = ::LoadLibraryA("shcore.dll");
    if (!shcore) return;
    SetProcessDpiAwarenessProc set_awareness =
        find_proc_address<SetProcessDpiAwarenessProc>(shcore, "SetProcessDpiAwareness");
    if (set_awareness) set_awareness(kProcessPerMonitorDpiAware);
    ::FreeLibrary(shcore);
}

void enable_dpi_awareness() {
    const bool at_least_10_0 = is_windows_version_at_least(10, 0);
    const bool at_least_6_3 = !at_least_10_0 && is_windows_version_at_least(6, 3);
    switch (choose_dpi_awareness(at_least_10_0, at_least_6_3)) {
        case DpiAwarenessCall::ThreadPerMonitorV2:
            set_thread_per_monitor_v2();
            break;
        case DpiAwarenessCall::ProcessPerMonitor:
            set_process_per_monitor();
            break;
        case DpiAwarenessCall::ProcessSystemAware:
            ::SetProcessDPIAware();
            break;
    }
}
