#pragma once
// The GPU time of every pass of a playing set, measured with timestamp
// queries held in a ring of frames. A result is read only once the GL says
// it is there: the CPU never waits for the GPU to learn what a frame cost.

#include <GL/glew.h>

#include <cstdint>

#include "shader/pass_set.h"

// Frames whose queries may still be in flight. A frame that finds its slot
// still pending goes unmeasured rather than waiting.
constexpr int kTimedFrameSlots = 4;
// Results kept per pass: a second of frames at 240 per second.
constexpr int kPassSampleCount = 240;

struct PassSample {
    double at_seconds;  // when the frame was issued
    double gpu_ms;
};

struct PassSampleRing {
    PassSample samples[kPassSampleCount];
    int next;
    int count;
};

struct TimedFrameSlot {
    // A begin and an end timestamp per pass.
    GLuint queries[kPassCount][2];
    bool timed[kPassCount];
    bool pending;
    double issued_at_seconds;
    // Timed by finishing: when each pass began, and what it took.
    double began_at[kPassCount];
    double finished_ms[kPassCount];
};

struct PassTimings {
    TimedFrameSlot slots[kTimedFrameSlots];
    int next_slot;
    bool created;
    bool by_finishing;
    // The slot the frame being drawn writes into, or -1 while none does.
    int current_slot;
    PassSampleRing passes[kPassCount];
    PassSampleRing frames;  // every timed pass of a frame together
    double latest_pass_ms[kPassCount];
    // Every timed pass of the newest frame whose results are all in.
    double latest_frame_ms;
    double latest_frame_issued_at;
    int64_t frames_measured;
};

// NOTE: on a renderer that draws on the CPU a timer query times a part of a
// draw only (llvmpipe: 0.26 ms for a frame that took 90), and that part
// says nothing of the cost. There, and in renderers that measure after the
// fact, each pass is timed by waiting for it to finish: the wait is where
// such a renderer does the work anyway.
void time_passes_by_finishing(bool finishing);

void create_pass_timings(PassTimings* timings);
void delete_pass_timings(PassTimings* timings);

// Reads every result that has arrived, without waiting; then, unless the
// slot the frame would use is still pending, starts timing a frame issued
// at `now_seconds`.
void begin_timed_frame(PassTimings* timings, double now_seconds);
void begin_timed_pass(PassTimings* timings, int pass);
void end_timed_pass(PassTimings* timings, int pass);
void end_timed_frame(PassTimings* timings);
// A frame that gave way before its last pass: none of its passes counts, so
// a part of a draw never passes for the whole of it.
void abandon_timed_frame(PassTimings* timings);

// Waits for every frame in flight and reads it: for renderers that measure
// after the fact, never for the player.
void collect_pass_timings(PassTimings* timings);

// Milliseconds; kNotMeasured before any result since the timings were
// created or the last forget_latest_pass_ms.
constexpr double kNotMeasured = -1.0;
double latest_pass_ms(const PassTimings& timings, int pass);
// A new set's passes cost what they cost, not what the old set's did.
void forget_latest_pass_ms(PassTimings* timings);
// Over the results of frames issued in the last second before `now_seconds`.
double median_pass_ms(const PassTimings& timings, int pass, double now_seconds);
// Over every result kept, whatever its age.
double median_pass_ms_of_all(const PassTimings& timings, int pass);
double median_frame_ms_of_all(const PassTimings& timings);
