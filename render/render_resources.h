#pragma once
// Every GL object of the render pipeline, from start-up to shutdown: the
// quad, the uniform buffer, the four buffer render targets, the keyboard
// texture, the image textures and the per-unit channel bindings.

#include <GL/glew.h>

#include "render/builtin_images.h"
#include "shader/pass_set.h"

constexpr int kRenderTargetCount = 4;  // BufferA..BufferD
constexpr int kKeyboardWidth = 256;
constexpr int kKeyboardHeight = 4;

struct RenderTarget {
    GLuint framebuffer;
    GLuint colour_texture;
    GLuint depth_texture;
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
    bool resize_pending;
};

extern RenderResourcesState RenderResources;

// Texture n is what texture unit n samples: 4 × pass + channel.
extern GLuint ChannelBindings[kChannelBindingCount];
// (width, height, 1, 0) of the texture on each unit at the last install.
extern float ChannelResolutions[kChannelBindingCount][4];

void create_render_resources();
// From create_render_resources to destroy_render_resources.
bool render_resources_exist();
void destroy_render_resources();
void request_target_resize();
void recreate_render_targets();
void bind_channel_units();
void measure_channel_resolutions();

// Gives render target `index` a scratch target, or takes it away.
void use_scratch_target(int index, bool needed);
