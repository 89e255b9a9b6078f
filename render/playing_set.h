#pragma once
// One playing set: its programs, what its channels sample, its buffer, cube,
// scratch and Main targets at its own size and render scale, and its clock.
// Every monitor plays one; they share only the render resources.

#include <GL/glew.h>

#include <cstdint>

#include "render/channel_samplers.h"
#include "render/cube_target.h"
#include "render/frame_clock.h"
#include "render/pass_timing.h"
#include "shader/pass_set.h"

constexpr int kRenderTargetCount = 4;  // BufferA..BufferD
constexpr int kMinimumRenderScale = 25;
constexpr int kFullRenderScale = 100;

struct RenderTarget {
    GLuint framebuffer;
    GLuint colour_texture;
    int width;
    int height;
};

// A pass that samples its own target draws here instead and copies the
// result back after the draw, so it reads its previous frame.
struct ScratchTarget {
    GLuint framebuffer;
    GLuint colour_texture;
};

// The size the passes render at, and what sizes it follows. Sizes arrive
// before the targets exist; the targets follow at the next frame.
struct RenderSize {
    int window_width;  // the picture's size on screen, never 0
    int window_height;
    int scale_percent;  // kMinimumRenderScale .. kFullRenderScale per side
    // The next change of targets carries the buffers' pictures over to the
    // new size instead of clearing them, and iFrame goes on: only the
    // render scale changed, not what the set is shown on.
    bool carry_pictures;
    // Buffer targets the installed set draws into; the others keep a texel.
    bool buffer_drawn[kRenderTargetCount];
    // Whether it draws the cube; otherwise the cube keeps a texel a face.
    bool cube_drawn;
    // Main always draws into its own target (a renderer without a window,
    // or a picture other monitors show too).
    bool main_offscreen;
    // Main's picture is kept in its own target and placed from there, so it
    // can be shown again while the set rests.
    bool main_kept;
};

struct PlayingSet {
    // Programs in pass order; 0 means the pass is not drawn.
    GLuint programs[kPassCount];
    // Texture n is what texture unit n samples: 4 × pass + channel.
    GLuint channels[kChannelBindingCount];
    // (width, height, 1, 0) of each channel's texture, measured at every
    // install and whenever targets are created again.
    float channel_resolutions[kChannelBindingCount][4];
    RenderTarget targets[kRenderTargetCount];
    ScratchTarget scratch[kRenderTargetCount];
    // CubeA's cubemap, and its scratch cube while CubeA samples itself.
    CubeTarget cube_target;
    CubeTarget cube_scratch;
    // Main's picture at the render size; its framebuffer is 0 while Main
    // draws straight into the window.
    RenderTarget main_target;
    RenderSize size;
    ChannelSamplerSet samplers;
    FrameClock clock;
    PassTimings timings;
    // The bands each pass was drawn in last; 1: whole. Whether the log has
    // said that a pass of the installed set is drawn in bands.
    int band_counts[kPassCount];
    bool bands_said[kPassCount];
    // Where the picture's bottom-left corner sits in the window, in pixels
    // from the window's bottom-left.
    int window_x;
    int window_y;
    // A target the GL could not give storage to, and whether even the
    // smallest render scale failed (said once).
    bool targets_missing;
    bool allocation_given_up;
};

// A set with one-texel buffers and no programs, at the given picture size.
void create_playing_set(PlayingSet* set, int width, int height, int scale_percent);
void destroy_playing_set(PlayingSet* set);

// The render size: the picture's size scaled, at least one pixel per side.
int render_width(const PlayingSet& set);
int render_height(const PlayingSet& set);

// The picture's size; a side of 0 (a minimised or collapsed window) is
// ignored, and a size the targets already have changes nothing.
void request_target_resize(PlayingSet* set, int width, int height);
// Percent per side, clamped to 25..100; at 100 Main draws into the window.
void set_render_scale(PlayingSet* set, int percent);
// The same, for a change the viewer should not notice: the buffers keep
// their pictures, scaled, and iFrame goes on.
void rescale_keeping_pictures(PlayingSet* set, int percent);
void set_main_offscreen(PlayingSet* set, bool offscreen);
void set_main_kept(PlayingSet* set, bool kept);
// Where the picture's bottom-left corner goes, from the window's bottom-left.
void place_in_window(PlayingSet* set, int x, int y);

// Brings every target to the size and storage asked for; targets that change
// are created anew, cleared, and every channel that sampled them follows.
// Cheap when nothing changed: called at the start of every frame.
void recreate_render_targets(PlayingSet* set);

// The side of a face of the cube at the render scale, at least 1.
int cube_face_size(const PlayingSet& set);

// The set's channel textures and samplers on units 0 .. kChannelBindingCount - 1.
void bind_channel_units(PlayingSet* set);
void measure_channel_resolutions(PlayingSet* set);

// The set's buffers and cube under their names, for building its passes.
void enter_buffers_in_channel_table(const PlayingSet& set);

// The texture pass `pass` draws into (0 for Main, which has none to read).
GLuint own_target_texture(const PlayingSet& set, int pass);
// Gives the target of buffer or cube pass `pass` a scratch target, or takes
// it away.
void use_scratch_target(PlayingSet* set, int pass, bool needed);

// Every buffer and cube target back to transparent black.
void clear_render_targets(PlayingSet* set);

// Bytes of storage the buffer, cube, scratch and Main targets take together.
uint64_t render_target_bytes(const PlayingSet& set);

// The set's GPU time for `pass` in milliseconds: its newest frame's
// (kNotMeasured before any result for the installed set), and the median
// over the last second (0 before any result).
double latest_pass_gpu_ms(const PlayingSet& set, int pass);
double median_pass_gpu_ms(const PlayingSet& set, int pass);
