#pragma once
// The frame-rate cap's arithmetic on the high-resolution counter: when the
// next frame may start. Presentation keeps its own pacing; this is only an
// upper bound.

#include <cstdint>

struct FrameSchedule {
    int64_t period;    // counter ticks per frame; 0 means no cap
    int64_t next_due;  // the counter reading from which the next frame may start
};

void set_frame_rate_cap(FrameSchedule* schedule, int frames_per_second, int64_t ticks_per_second);

// Ticks left before the next frame may start; 0 when it may start now.
int64_t ticks_until_next_frame(const FrameSchedule& schedule, int64_t now);

// A frame starts now. The next is due one period after this one was due, so
// the rate holds on average; a loop that fell a whole period behind starts
// afresh instead of drawing a burst of frames to catch up.
void frame_starts(FrameSchedule* schedule, int64_t now);
