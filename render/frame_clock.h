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
    // Readings of the millisecond counter, in seconds.
    double start_time;
    double paused_at;
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

// iFrame after `frame`. Past 2^31 - 1 it goes on at 2^30: never negative and
// never 0 again (a set that initialises on frame 0 is not reset), and
// iFrame modulo any power of two up to 2^30 continues without a jump.
int32_t frame_after(int32_t frame);

// Seconds since local midnight of a date, to the millisecond.
double seconds_since_midnight(int hour, int minute, int second, int millisecond);
