#pragma once
// Renders a pass set without a window: frames at fixed time steps into
// Main's own target, the last one written as a PNG.

#include <cstdint>

#include "render/frame_rendering.h"
#include "shader/pass_set.h"
#include "render_tool/render_arguments.h"

// Every render starts at 2026-01-01 12:00:00.000 and its clock advances with
// iTime, so clocks tick and the same arguments still give the same file.
constexpr float kRenderDate[4] = {2026.0f, 0.0f, 1.0f, 43200.0f};

// iDate `seconds` after the render date: year, month (0-based), day, seconds
// since midnight, the day and month rolling over at midnight.
void render_date_after(double seconds, float date[4]);

// Frame n at N frames per second: iTime n/N, iTimeDelta 1/N, iFrameRate N,
// iFrame n, iDate iTime after the render date; the cursor at the origin and
// released, as the player reports it.
FrameInputs fixed_step_frame_inputs(int32_t frame, int frames_per_second);

// Needs a current OpenGL 4.5 core context. Every pass present must build.
// Logs why and returns false when the set does not build, the GL cannot
// draw the size, or the file cannot be written; no file is left then.
// With --stats and no -o, nothing is written: only `stats` is filled.
struct RenderStats {
    int frames_measured;
    bool drawn[kPassCount];
    double pass_ms[kPassCount];  // medians over the rendered frames
    double frame_ms;
};
bool render_pass_set_to_png(const RenderArguments& arguments, RenderStats* stats);

// Each pass's median GPU time, the frame's at the rendered size and at
// 3840 × 2160 by pixel count, one line each.
void log_render_stats(const RenderStats& stats, const RenderArguments& arguments);
