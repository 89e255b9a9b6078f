#include "app/frame_schedule.h"

void set_frame_rate_cap(FrameSchedule* schedule, int frames_per_second, int64_t ticks_per_second) {
    schedule->period = frames_per_second > 0 ? ticks_per_second / frames_per_second : 0;
}

int64_t ticks_until_next_frame(const FrameSchedule& schedule, int64_t now) {
    if (schedule.period == 0 || now >= schedule.next_due) return 0;
    return schedule.next_due - now;
}

void frame_starts(FrameSchedule* schedule, int64_t now) {
    if (schedule->period == 0) return;
    const bool fell_behind = now - schedule->next_due >= schedule->period;
    schedule->next_due = fell_behind ? now + schedule->period : schedule->next_due + schedule->period;
}
