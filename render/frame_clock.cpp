#include "render/frame_clock.h"

#include <cmath>
#include <cstdint>

#include "base/log.h"
#include "desktop/platform_services.h"

static int32_t frame_counter = 0;
// Readings of the 64-bit high-resolution counter: it neither wraps nor loses
// precision in any uptime a machine reaches.
static int64_t start_ticks = 0;
static int64_t paused_at_ticks = 0;
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
    counter_frequency = read_performance_frequency();
    previous_counter = read_performance_counter();
}

void restart_frame_count_and_time() {
    frame_counter = 0;
    start_ticks = read_performance_counter();
    // A set installed while resting starts its time when the rest ends.
    paused_at_ticks = start_ticks;
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
    read_counter_frequency();
    timing.time = seconds_from_ticks(read_performance_counter() - start_ticks, counter_frequency);
    timing.frame_rate = measure_frame_rate();
    timing.time_delta = 1.0 / timing.frame_rate;
    timing.frame = frame_counter;
    return timing;
}

void count_frame() { frame_counter = frame_after(frame_counter); }

void pause_frame_clock() {
    if (paused) return;
    paused = true;
    paused_at_ticks = read_performance_counter();
}

void resume_frame_clock() {
    if (!paused) return;
    paused = false;
    // Moving the origin by the pause's length leaves iTime where it stopped.
    start_ticks += read_performance_counter() - paused_at_ticks;
    reuse_last_interval = true;
}

bool rest_frame_clock() {
    if (paused) return false;
    pause_frame_clock();
    read_counter_frequency();
    const double time = seconds_from_ticks(paused_at_ticks - start_ticks, counter_frequency);
    const double step = float_time_step_at(time);
    if (step < kCoarsestTimeStep) return false;
    log_message("iTime reached %.0f s, where its float step is %.1f ms: the set starts afresh while resting",
                time, step * 1000.0);
    restart_frame_count_and_time();
    return true;
}

bool frame_clock_paused() { return paused; }

double seconds_from_ticks(int64_t ticks, int64_t frequency) {
    if (frequency <= 0) return 0.0;
    // Whole seconds apart from the rest, so no tick is lost to rounding
    // however long the difference.
    return static_cast<double>(ticks / frequency) +
           static_cast<double>(ticks % frequency) / static_cast<double>(frequency);
}

double float_time_step_at(double seconds) {
    const float time = static_cast<float>(seconds);
    return static_cast<double>(std::nextafter(time, INFINITY)) - static_cast<double>(time);
}

int32_t frame_after(int32_t frame) { return frame == INT32_MAX ? kFrameWrapTarget : frame + 1; }

double seconds_since_midnight(int hour, int minute, int second, int millisecond) {
    return hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0;
}
