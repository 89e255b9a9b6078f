#include "render/frame_clock.h"

#include <cstdint>

#include "desktop/clock.h"
#include "desktop/platform_services.h"

// The counter's rate is the machine's, the same for every clock.
static int64_t counter_frequency = 0;

static const int32_t kFrameWrapTarget = 1 << 30;
static const double kFrameRateBeforeTheFirstInterval = 60.0;

static void read_counter_frequency() {
    if (counter_frequency == 0) counter_frequency = read_performance_frequency();
}

void start_frame_clock(FrameClock* clock) {
    read_counter_frequency();
    *clock = FrameClock{};
    clock->start_time = current_time_seconds();
    clock->paused_at = clock->start_time;
    clock->previous_counter = read_performance_counter();
    clock->last_frame_rate = kFrameRateBeforeTheFirstInterval;
}

void restart_frame_count_and_time(FrameClock* clock) {
    clock->frame = 0;
    clock->start_time = current_time_seconds();
    // A set installed while resting starts its time when the rest ends.
    clock->paused_at = clock->start_time;
}

void restart_frame_count(FrameClock* clock) { clock->frame = 0; }

static double measure_frame_rate(FrameClock* clock) {
    read_counter_frequency();
    const int64_t now = read_performance_counter();
    const int64_t interval = now - clock->previous_counter;
    clock->previous_counter = now;
    if (clock->reuse_last_interval || interval <= 0) {
        clock->reuse_last_interval = false;
        return clock->last_frame_rate;
    }
    clock->last_frame_rate = static_cast<double>(counter_frequency) / static_cast<double>(interval);
    return clock->last_frame_rate;
}

FrameTiming next_frame_timing(FrameClock* clock) {
    FrameTiming timing;
    // The counter wraps after 49.7 days; the difference modulo the wrap
    // keeps iTime growing across it.
    timing.time = elapsed_seconds_between(clock->start_time, current_time_seconds());
    timing.frame_rate = measure_frame_rate(clock);
    timing.time_delta = 1.0 / timing.frame_rate;
    timing.frame = clock->frame;
    return timing;
}

void count_frame(FrameClock* clock) { clock->frame = frame_after(clock->frame); }

void pause_frame_clock(FrameClock* clock) {
    if (clock->paused) return;
    clock->paused = true;
    clock->paused_at = current_time_seconds();
}

void resume_frame_clock(FrameClock* clock) {
    if (!clock->paused) return;
    clock->paused = false;
    // Moving the origin by the pause's length leaves iTime where it stopped.
    clock->start_time += elapsed_seconds_between(clock->paused_at, current_time_seconds());
    clock->reuse_last_interval = true;
}

int32_t frame_after(int32_t frame) { return frame == INT32_MAX ? kFrameWrapTarget : frame + 1; }

double seconds_since_midnight(int hour, int minute, int second, int millisecond) {
    return hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0;
}
