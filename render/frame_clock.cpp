#include "render/frame_clock.h"

#include <cstdint>

#include "desktop/clock.h"
#include "desktop/platform_services.h"

static int32_t frame_counter = 0;
// Readings of the millisecond counter, in seconds.
static double start_time = 0.0;
static double paused_at = 0.0;
static bool paused = false;

static int64_t counter_frequency = 0;
static int64_t previous_counter = 0;
static double last_frame_rate = 60.0;
static bool reuse_last_interval = false;

static const int32_t kFrameWrapTarget = 1 << 30;

static void read_counter_frequency() {
    if (counter_frequency == 0) counter_frequency = read_performance_frequency();
}

void start_frame_clock() {
    read_counter_frequency();
    previous_counter = read_performance_counter();
}

void restart_frame_count_and_time() {
    frame_counter = 0;
    start_time = current_time_seconds();
    // A set installed while resting starts its time when the rest ends.
    paused_at = start_time;
}

void restart_frame_count() { frame_counter = 0; }

static double measure_frame_rate() {
    read_counter_frequency();
    const int64_t now = read_performance_counter();
    const int64_t interval = now - previous_counter;
    previous_counter = now;
    if (reuse_last_interval || interval <= 0) {
        reuse_last_interval = false;
        return last_frame_rate;
    }
    last_frame_rate = static_cast<double>(counter_frequency) / static_cast<double>(interval);
    return last_frame_rate;
}

FrameTiming next_frame_timing() {
    FrameTiming timing;
    // The counter wraps after 49.7 days; the difference modulo the wrap
    // keeps iTime growing across it.
    timing.time = elapsed_seconds_between(start_time, current_time_seconds());
    timing.frame_rate = measure_frame_rate();
    timing.time_delta = 1.0 / timing.frame_rate;
    timing.frame = frame_counter;
    return timing;
}

void count_frame() { frame_counter = frame_after(frame_counter); }

void pause_frame_clock() {
    if (paused) return;
    paused = true;
    paused_at = current_time_seconds();
}

void resume_frame_clock() {
    if (!paused) return;
    paused = false;
    // Moving the origin by the pause's length leaves iTime where it stopped.
    start_time += elapsed_seconds_between(paused_at, current_time_seconds());
    reuse_last_interval = true;
}

bool frame_clock_paused() { return paused; }

int32_t frame_after(int32_t frame) { return frame == INT32_MAX ? kFrameWrapTarget : frame + 1; }

double seconds_since_midnight(int hour, int minute, int second, int millisecond) {
    return hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0;
}
