#pragma once
// Keeps the wallpaper's share of the GPU's time within a budget by moving
// two levers in turn: first the render scale, from the user's down to 25 %,
// then the frame rate, from the cap down to 15 per second. A plain decision
// over measured frames, so every rule can be tested with made-up timings.

#include <cstdint>

// The levers' positions: the render scale in steps of about 0.84 per side,
// then the frame rate in steps of three quarters, each step cheaper by more
// than the 80 % a step back up must fit in, so no cost sits between two
// steps and makes them alternate.
constexpr int kMostGovernorLevels = 32;
constexpr int kLowestGovernedFrameRate = 15;
constexpr int kGovernorSampleCount = 512;

struct GovernorLevel {
    int scale_percent;
    int frames_per_second;
};

struct GovernorSample {
    double issued_at;  // seconds
    double frame_ms;   // GPU time of every set's frame together
    double share;      // of the GPU's time between this frame and the last
};

struct GpuGovernor {
    int budget_percent;  // 0: off
    GovernorLevel levels[kMostGovernorLevels];
    int level_count;
    int level;  // 0: the user's scale at the cap
    double last_change_at;
    // Since when the step back up has been predicted to fit; < 0: it has not.
    double fitting_since;
    // A level that was stepped up into and had to be left again at once:
    // it and every dearer level are tried again only after a wait that
    // doubles with every failure.
    // The prediction missed it (a cost that grows with the frame rate, say),
    // and trying it again and again would make the picture pump.
    bool last_change_was_up;
    int refused_level;  // -1: none
    double refused_until;
    double refusal_seconds;
    double previous_issued_at;
    // Frames measured at the present level, oldest first from `first`.
    GovernorSample samples[kGovernorSampleCount];
    int first;
    int count;
};

// What a change was made on, for its log line.
struct GovernorChange {
    GovernorLevel level;
    double frame_ms;         // measured per frame
    double budget_frame_ms;  // what the budget allows per frame at the old rate
};

// `frame_rate_cap`: the frames per second the cap allows (the display's
// rate when the user chose none). Starts at the user's own settings.
void start_gpu_governor(GpuGovernor* governor, int budget_percent, int user_scale, int frame_rate_cap, double now);

// One measured frame, issued at `issued_at`: a frame issued before the
// last change belongs to the old level and is not counted. True when the
// level changed; `change` then says to what and why.
bool govern_frame(GpuGovernor* governor, double issued_at, double frame_ms, double now, GovernorChange* change);

// A new set costs what it costs: levels that failed for the old one may
// fit it, so nothing is held back any more.
void forget_failed_steps(GpuGovernor* governor);

GovernorLevel governed_level(const GpuGovernor& governor);
bool governor_on(const GpuGovernor& governor);
