#include "app/frame_rate_cap.h"

#include "app/frame_schedule.h"
#include "base/log.h"
#include "desktop/platform_services.h"

// Not in every SDK's headers; understood from Windows 10 1803 on.
static const DWORD kHighResolutionTimer = 0x00000002;
static const int kUnknownRefreshRate = 60;

static HANDLE timer = nullptr;
static FrameSchedule schedule = {0, 0};
static int asked_rate = 0;
static int capped_rate = 0;
// A lower rate the GPU budget holds the frames to; 0: none.
static int budget_rate = 0;
static int scheduled_rate = 0;

void start_frame_rate_cap() {
    timer = ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    // NOTE: older systems refuse the flag; their timer is coarser but works.
    if (!timer) timer = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
}

void stop_frame_rate_cap() {
    if (timer) ::CloseHandle(timer);
    timer = nullptr;
}

static int display_refresh_rate() {
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    // 0 and 1 stand for the hardware's default rate, which says nothing.
    if (!::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) || mode.dmDisplayFrequency <= 1) {
        return kUnknownRefreshRate;
    }
    return static_cast<int>(mode.dmDisplayFrequency);
}

static void schedule_frames() {
    const int rate = budget_rate > 0 && budget_rate < capped_rate ? budget_rate : capped_rate;
    if (rate == scheduled_rate) return;
    scheduled_rate = rate;
    set_frame_rate_cap(&schedule, rate, read_performance_frequency());
}

void cap_frame_rate(int frames_per_second) {
    asked_rate = frames_per_second;
    const int rate = frames_per_second > 0 ? frames_per_second : display_refresh_rate();
    if (rate == capped_rate) return;
    capped_rate = rate;
    schedule_frames();
    log_message("frame rate: at most %d per second", rate);
}

int frame_rate_cap_now() { return capped_rate; }

void hold_frame_rate_to(int frames_per_second) {
    budget_rate = frames_per_second;
    schedule_frames();
}

void follow_display_refresh_rate() {
    if (asked_rate == 0) cap_frame_rate(0);
}

bool frame_may_start() { return ticks_until_next_frame(schedule, read_performance_counter()) == 0; }

HANDLE frame_timer() {
    const int64_t ticks = ticks_until_next_frame(schedule, read_performance_counter());
    if (ticks == 0 || !timer) return nullptr;
    // Relative due times are negative, in units of 100 ns.
    LARGE_INTEGER due;
    due.QuadPart = -(ticks * 10000000 / read_performance_frequency());
    if (due.QuadPart == 0) due.QuadPart = -1;
    ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
    return timer;
}

void note_frame_start() { frame_starts(&schedule, read_performance_counter()); }
