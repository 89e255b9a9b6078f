#pragma once
// Every GL object of the render pipeline, from start-up to shutdown: the
// quad, the uniform buffer, the four buffer render targets, the target Main
// draws into when it does not draw into the window, the keyboard texture, the
// image textures and the per-unit channel bindings.

#include <GL/glew.h>

#include <cstdint>

#include "render/builtin_images.h"
#include "shader/pass_set.h"

constexpr int kRenderTargetCount = 4;  // BufferA..BufferD
constexpr int kKeyboardWidth = 256;
constexpr int kKeyboardHeight = 4;
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

struct RenderResourcesState {
    GLuint vertex_array;
    GLuint vertex_buffer;
    GLuint uniform_buffer;
    GLuint image_textures[kBuiltinImageCount];
    GLuint keyboard_texture;
    unsigned char keyboard_image[kKeyboardWidth * kKeyboardHeight];
    RenderTarget targets[kRenderTargetCount];
    ScratchTarget scratch[kRenderTargetCount];
    // Main's picture at the render size; its framebuffer is 0 while Main
    // draws straight into the window.
    RenderTarget main_target;
};

extern RenderResourcesState RenderResources;

// Texture n is what texture unit n samples: 4 × pass + channel.
extern GLuint ChannelBindings[kChannelBindingCount];
// (width, height, 1, 0) of the texture on each unit, measured at every
// install and whenever render targets are created again.
extern float ChannelResolutions[kChannelBindingCount][4];

// The size the passes render at, and what sizes it follows. Kept apart from
// the GL objects: sizes arrive before the resources exist.
struct RenderSizeState {
    int window_width;  // the window's client size, never 0
    int window_height;
    int scale_percent;  // kMinimumRenderScale .. kFullRenderScale per side
    // Buffer targets the installed set draws into; the others keep a texel.
    bool buffer_drawn[kRenderTargetCount];
    // Main always draws into its own target (a renderer without a window).
    bool main_offscreen;
};

extern RenderSizeState RenderSize;

// The render size: the window's size scaled, at least one pixel per side.
int render_width();
int render_height();

void create_render_resources();
// From create_render_resources to destroy_render_resources.
bool render_resources_exist();
void destroy_render_resources();

// The window's client size; a side of 0 (a minimised or collapsed window) is
// ignored, and a size the targets already have changes nothing.
void request_target_resize(int width, int height);
// Percent per side, clamped to 25..100; at 100 Main draws into the window.
void set_render_scale(int percent);
void set_main_offscreen(bool offscreen);
// Which buffers get full-size storage: those the installed set draws.
void set_drawn_buffers(const bool drawn[kRenderTargetCount]);

// Brings every target to the size and storage asked for; targets that change
// are created anew, cleared, and every channel that sampled them follows.
// Cheap when nothing changed: called at the start of every frame.
void recreate_render_targets();

void bind_channel_units();
void measure_channel_resolutions();

// Gives render target `index` a scratch target, or takes it away.
void use_scratch_target(int index, bool needed);

// Every buffer target back to transparent black.
void clear_render_targets();

// Bytes of storage the buffer, scratch and Main targets take together.
uint64_t render_target_bytes();
