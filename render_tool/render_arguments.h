#pragma once
// The render tool's command line:
//   lumenfold-render [PATH] -o OUT.png [--size WxH] [--time SECONDS] [--fps N] [--stats]
// With --stats the picture is optional: the figures are the output.

#include <cstdint>

struct RenderArguments {
    const char* pass_set_path;  // null: the built-in wallpaper
    const char* output_path;
    int width;
    int height;
    double seconds;  // the last frame's iTime, rounded to a whole frame
    int frames_per_second;
    bool stats;  // print each pass's GPU time
};

constexpr int kDefaultRenderWidth = 1280;
constexpr int kDefaultRenderHeight = 720;
constexpr int kDefaultFramesPerSecond = 60;
// Larger sides are refused before any GL is asked; the GL may refuse less.
constexpr int kLargestRenderSide = 16384;

extern const char kRenderUsage[];

// Fills `arguments` from argv[1..]; returns null when they are good, or what
// is wrong with them (a constant text).
const char* parse_render_arguments(int argc, const char* const* argv, RenderArguments* arguments);

// Frames run from 0 to this one: the time in whole frames, rounded.
int32_t last_frame_number(const RenderArguments& arguments);
