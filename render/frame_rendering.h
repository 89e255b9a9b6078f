#pragma once
// Draws one frame of the installed pass set: uniforms, a pending resize, the
// buffer passes in order, then Main into the window.

#include <cstdint>

struct MouseStateRecord {
    double x, y, z, w;
};
extern MouseStateRecord MouseState;

extern int32_t frame_counter;
extern double start_time;

void render_frame();

// Frames per second over the interval since the previous call.
double measure_frame_rate();

// Takes the first counter reading, so the first frame's rate measures a real
// interval rather than the time since the counter's origin.
void start_frame_clock();

// iFrame and iTime start again from 0 with the next frame.
void restart_frame_count_and_time();

// Seconds since local midnight of a date, to the millisecond.
double seconds_since_midnight(int hour, int minute, int second, int millisecond);
