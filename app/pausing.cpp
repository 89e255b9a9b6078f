#include "app/pausing.h"

#include <dwmapi.h>
#include <shellapi.h>

#include "app/pause_state.h"
#include "app/player_sets.h"
#include "desktop/cover_rule.h"
#include "desktop/monitor_watch.h"
#include "desktop/proc_address.h"

typedef BOOL(WINAPI* RegisterSessionNotificationProc)(HWND, DWORD);
typedef BOOL(WINAPI* UnregisterSessionNotificationProc)(HWND);
typedef HPOWERNOTIFY(WINAPI* RegisterPowerSettingNotificationProc)(HANDLE, LPCGUID, DWORD);
typedef BOOL(WINAPI* UnregisterPowerSettingNotificationProc)(HPOWERNOTIFY);
typedef HRESULT(WINAPI* QueryUserNotificationStateProc)(int*);

// Spelled out so that no GUID library is needed.
static const GUID kConsoleDisplayState = {0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
static const GUID kPowerSavingStatus = {0xE00958C0, 0xC213, 0x4ACE, {0xAC, 0x77, 0xFE, 0xCC, 0xED, 0x2E, 0xEE, 0xA5}};
static const DWORD kDisplayOn = 1;
static const DWORD kNotifyForThisSession = 0;
static const DWORD kCloakedAttribute = 14;  // DWMWA_CLOAKED

static HWND listener = nullptr;
static HMODULE wtsapi = nullptr;
static HPOWERNOTIFY display_notification = nullptr;
static HPOWERNOTIFY saver_notification = nullptr;
static HWINEVENTHOOK foreground_hook = nullptr;
static HWINEVENTHOOK location_hook = nullptr;
static QueryUserNotificationStateProc query_notification_state = nullptr;

static PlayerSettings settings = kDefaultPlayerSettings;
static bool covered = false;
static bool battery_saver_on = false;

static void register_session_notification() {
    wtsapi = ::LoadLibraryA("wtsapi32.dll");
    if (!wtsapi) return;
    RegisterSessionNotificationProc register_session =
        find_proc_address<RegisterSessionNotificationProc>(wtsapi, "WTSRegisterSessionNotification");
    if (register_session) register_session(listener, kNotifyForThisSession);
}

static void unregister_session_notification() {
    if (!wtsapi) return;
    UnregisterSessionNotificationProc unregister_session =
        find_proc_address<UnregisterSessionNotificationProc>(wtsapi, "WTSUnRegisterSessionNotification");
    if (unregister_session) unregister_session(listener);
    ::FreeLibrary(wtsapi);
    wtsapi = nullptr;
}

// NOTE: each registration also sends the setting's current state at once.
static void register_power_notifications() {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    RegisterPowerSettingNotificationProc register_setting =
        user32 ? find_proc_address<RegisterPowerSettingNotificationProc>(user32, "RegisterPowerSettingNotification")
               : nullptr;
    if (!register_setting) return;
    display_notification = register_setting(listener, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    saver_notification = register_setting(listener, &kPowerSavingStatus, DEVICE_NOTIFY_WINDOW_HANDLE);
}

static void unregister_power_notifications() {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    UnregisterPowerSettingNotificationProc unregister_setting =
        user32 ? find_proc_address<UnregisterPowerSettingNotificationProc>(user32, "UnregisterPowerSettingNotification")
               : nullptr;
    if (unregister_setting && display_notification) unregister_setting(display_notification);
    if (unregister_setting && saver_notification) unregister_setting(saver_notification);
    display_notification = saver_notification = nullptr;
}

static bool is_cloaked(HWND window) {
    DWORD cloaked = 0;
    return SUCCEEDED(::DwmGetWindowAttribute(window, kCloakedAttribute, &cloaked, sizeof cloaked)) && cloaked != 0;
}

static bool belongs_to_this_process(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}

static bool is_part_of_desktop(HWND window) {
    if (window == ::GetDesktopWindow() || window == ::GetShellWindow()) return true;
    char class_name[64] = "";
    ::GetClassNameA(window, class_name, sizeof class_name);
    return is_shell_desktop_class(class_name);
}

static PixelRect pixel_rect(const RECT& rect) { return PixelRect{rect.left, rect.top, rect.right, rect.bottom}; }

static PixelRect primary_monitor_rect() {
    const POINT origin = {0, 0};
    MONITORINFO info;
    info.cbSize = sizeof info;
    ::GetMonitorInfoA(::MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
    return pixel_rect(info.rcMonitor);
}

static ForegroundFacts foreground_facts() {
    ForegroundFacts facts = {false, false, {0, 0, 0, 0}, {0, 0, 0, 0}};
    HWND window = ::GetForegroundWindow();
    if (!window || !::IsWindowVisible(window) || ::IsIconic(window)) return facts;
    if (belongs_to_this_process(window) || is_part_of_desktop(window) || is_cloaked(window)) return facts;
    facts.can_cover = true;
    facts.maximised = ::IsZoomed(window) != FALSE;
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
        facts.monitor = pixel_rect(info.rcMonitor);
    }
    // The visible frame: Windows 10 adds invisible resize borders around it.
    RECT bounds;
    if (FAILED(::DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof bounds))) {
        ::GetWindowRect(window, &bounds);
    }
    facts.rect = pixel_rect(bounds);
    return facts;
}

static bool full_screen_application_runs() {
    int state = 0;
    return query_notification_state && SUCCEEDED(query_notification_state(&state)) && notification_state_covers(state);
}

static void update_reasons() {
    set_pause_reason(kPausedCovered, covered && settings.pause_when_covered);
    set_pause_reason(kPausedBatterySaver, battery_saver_on && settings.pause_on_battery_saver);
}

static bool same_rect(const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A full-screen application covers the monitor it runs on; where that is
// unknown, every one.
static bool monitor_covered(const ForegroundFacts& facts, bool full_screen, const PixelRect& monitor) {
    if (foreground_covers(facts, monitor)) return true;
    return full_screen && (!facts.can_cover || same_rect(facts.monitor, monitor));
}

// Each monitor rests on its own while covered; the player rests, and the
// loop blocks, once every monitor is.
void check_cover() {
    const ForegroundFacts facts = foreground_facts();
    const bool full_screen = full_screen_application_runs();
    const MonitorList& monitors = known_monitors();
    if (monitors.count == 0) {
        covered = monitor_covered(facts, full_screen, primary_monitor_rect());
        update_reasons();
        return;
    }
    bool every_monitor = true;
    for (int index = 0; index < monitors.count; ++index) {
        const Monitor& m = monitors.monitors[index];
        const PixelRect rect = {m.x, m.y, m.x + m.width, m.y + m.height};
        const bool this_one = monitor_covered(facts, full_screen, rect);
        set_monitor_covered(m.identity, this_one && settings.pause_when_covered);
        every_monitor = every_monitor && this_one;
    }
    covered = every_monitor;
    update_reasons();
}

static void CALLBACK window_event(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD) {
    // Location changes come for every window and the cursor; only the
    // foreground window's own can change whether it covers the screen.
    if (event == EVENT_OBJECT_LOCATIONCHANGE && (object != OBJID_WINDOW || window != ::GetForegroundWindow())) return;
    check_cover();
}

static void hook_window_events() {
    const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
    foreground_hook = ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_MINIMIZEEND, nullptr, window_event, 0,
                                        0, flags);
    location_hook = ::SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, nullptr,
                                      window_event, 0, 0, flags);
}

void start_pause_watch(HWND notification_window) {
    listener = notification_window;
    HMODULE shell32 = ::GetModuleHandleA("shell32.dll");
    if (shell32) {
        query_notification_state =
            find_proc_address<QueryUserNotificationStateProc>(shell32, "SHQueryUserNotificationState");
    }
    register_session_notification();
    register_power_notifications();
    hook_window_events();
    check_cover();
}

void stop_pause_watch() {
    if (foreground_hook) ::UnhookWinEvent(foreground_hook);
    if (location_hook) ::UnhookWinEvent(location_hook);
    foreground_hook = location_hook = nullptr;
    unregister_power_notifications();
    unregister_session_notification();
}

void handle_session_change(WPARAM event) {
    if (event == WTS_SESSION_LOCK) set_pause_reason(kPausedLocked, true);
    if (event == WTS_SESSION_UNLOCK) set_pause_reason(kPausedLocked, false);
}

bool handle_power_broadcast(WPARAM event, LPARAM data) {
    if (event != PBT_POWERSETTINGCHANGE || !data) return false;
    const POWERBROADCAST_SETTING* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (setting->DataLength < sizeof(DWORD)) return false;
    const DWORD value = *reinterpret_cast<const DWORD*>(setting->Data);
    if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState)) {
        // Dimmed counts as off: nobody watches a dimmed screen.
        set_pause_reason(kPausedDisplayOff, value != kDisplayOn);
        return true;
    }
    if (IsEqualGUID(setting->PowerSetting, kPowerSavingStatus)) {
        battery_saver_on = value != 0;
        update_reasons();
        return true;
    }
    return false;
}

void toggle_pause_by_user() { set_pause_reason(kPausedByUser, !pause_reason_holds(kPausedByUser)); }

void follow_pause_settings(const PlayerSettings& new_settings) {
    settings = new_settings;
    update_reasons();
}
