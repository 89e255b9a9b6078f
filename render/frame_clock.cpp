#include "render/frame_clock.h"

#include <cmath>
#include <cstdint>

#include "base/log.h"
#include "desktop/platform_services.h"

// The counter's rate is the machine's, the same for every clock.
static int64_t counter_frequency = 0;

static const int32_t kFrameWrapTarget = 1 << 30;
static const double kFrameRateBeforeTheFirstInterval = 60.0;

static void read_counter_frequency() {
    if (counter_frequency == 0) counter_frequency = read_performance_frequency();
}

void start_frame_clock(FrameClock* clock) {
    counter_frequency = read_performance_frequency();
    *clock = FrameClock{};
    clock->start_ticks = read_performance_counter();
    clock->paused_at_ticks = clock->start_ticks;
    clock->previous_counter = clock->start_ticks;
    clock->last_frame_rate = kFrameRateBeforeTheFirstInterval;
}

void restart_frame_count_and_time(FrameClock* clock) {
    clock->frame = 0;
    clock->start_ticks = read_performance_counter();
    // A set installed while resting starts its time when the rest ends.
    clock->paused_at_ticks = clock->start_ticks;
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
    read_counter_frequency();
    timing.time = seconds_from_ticks(read_performance_counter() - clock->start_ticks, counter_frequency);
    timing.frame_rate = measure_frame_rate(clock);
    timing.time_delta = 1.0 / timing.frame_rate;
    timing.frame = clock->frame;
    return timing;
}

void count_frame(FrameClock* clock) { clock->frame = frame_after(clock->frame); }

void pause_frame_clock(FrameClock* clock) {
    if (clock->paused) return;
    clock->paused = true;
    clock->paused_at_ticks = read_performance_counter();
}

void resume_frame_clock(FrameClock* clock) {
    if (!clock->paused) return;
    clock->paused = false;
    // Moving the origin by the pause's length leaves iTime where it stopped.
    clock->start_ticks += read_performance_counter() - clock->paused_at_ticks;
    clock->reuse_last_interval = true;
}

bool rest_frame_clock(FrameClock* clock) {
    if (clock->paused) return false;
    pause_frame_clock(clock);
    read_counter_frequency();
    const double time = seconds_from_ticks(clock->paused_at_ticks - clock->start_ticks, counter_frequency);
    const double step = float_time_step_at(time);
    if (step < kCoarsestTimeStep) return false;
    log_message("iTime reached %.0f s, where its float step is %.1f ms: the set starts afresh while resting", time,
                step * 1000.0);
    restart_frame_count_and_time(clock);
    return true;
}

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
