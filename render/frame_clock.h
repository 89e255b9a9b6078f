#pragma once
// The clock behind iTime, iTimeDelta, iFrameRate and iFrame of one playing
// set: it restarts with every install, stands still while its set rests, and
// counts frames for as long as a wallpaper runs.

#include <cstdint>

struct FrameTiming {
    double time;        // seconds since the install, paused time left out
    double time_delta;  // seconds since the previous frame
    double frame_rate;  // frames per second over that interval
    int32_t frame;      // frames drawn since the install
};

struct FrameClock {
    int32_t frame;
    // Readings of the 64-bit high-resolution counter: it neither wraps nor
    // loses precision in any uptime a machine reaches.
    int64_t start_ticks;
    int64_t paused_at_ticks;
    bool paused;
    // The performance counter at the previous frame.
    int64_t previous_counter;
    double last_frame_rate;
    // The first frame after a rest reports the interval before it.
    bool reuse_last_interval;
};

// Takes the first counter reading, so the first frame's rate measures a real
// interval rather than the time since the counter's origin.
void start_frame_clock(FrameClock* clock);

// iFrame and iTime start again from 0 with the next frame.
void restart_frame_count_and_time(FrameClock* clock);
// iFrame alone starts again: the buffers were created anew, and a set that
// seeds them on frame 0 must get to do it again.
void restart_frame_count(FrameClock* clock);

// The timing of the frame about to be drawn; reads the clocks once.
FrameTiming next_frame_timing(FrameClock* clock);

// Called once a frame has been drawn.
void count_frame(FrameClock* clock);

// From a pause to the resume iTime stands still; the first frame after it
// has the interval of the last frame before it, not the pause's length.
void pause_frame_clock(FrameClock* clock);
void resume_frame_clock(FrameClock* clock);

// The passes see iTime as a float, whose step grows with it: 1.95 ms from
// 2^14 s (4.6 hours) on, 7.8 ms after a day. From that step on a movement
// could show it, so the set starts afresh at its next rest.
constexpr double kCoarsestTimeStep = 1.0 / 512.0;

// Begins a rest (as pause_frame_clock). When iTime has grown to where its
// float step reaches kCoarsestTimeStep, iFrame and iTime start again from 0,
// which is logged, and true is returned: the caller clears what the set drew.
bool rest_frame_clock(FrameClock* clock);

// Counter ticks as seconds, exact to the tick for any 64-bit difference.
double seconds_from_ticks(int64_t ticks, int64_t frequency);
// The difference between iTime as a float and the next float above it.
double float_time_step_at(double seconds);

// iFrame after `frame`. Past 2^31 - 1 it goes on at 2^30: never negative and
// never 0 again (a set that initialises on frame 0 is not reset), and
// iFrame modulo any power of two up to 2^30 continues without a jump.
int32_t frame_after(int32_t frame);

// Seconds since local midnight of a date, to the millisecond.
double seconds_since_midnight(int hour, int minute, int second, int millisecond);
