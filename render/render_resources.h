#pragma once
// The GL objects every playing set shares, from start-up to shutdown: the
// quad, the uniform buffer, the keyboard texture and the image textures.

#include <GL/glew.h>

#include <cstdint>

#include "render/builtin_images.h"
#include "shader/pass_set.h"

constexpr int kKeyboardWidth = 256;
constexpr int kKeyboardHeight = 4;

struct RenderResourcesState {
    GLuint vertex_array;
    GLuint vertex_buffer;
    // One block per pass, each at a multiple of the GL's offset alignment,
    // written once per frame of a set.
    GLuint uniform_buffer;
    GLsizeiptr uniform_block_stride;
    GLuint image_textures[kBuiltinImageCount];
    bool image_decoded[kBuiltinImageCount];
    int decoded_image_count;
    GLuint keyboard_texture;
    unsigned char keyboard_image[kKeyboardWidth * kKeyboardHeight];
};

extern RenderResourcesState RenderResources;

void create_render_resources();
// From create_render_resources to destroy_render_resources.
bool render_resources_exist();
void destroy_render_resources();

// What a channel reads before anything chose a texture for it.
GLuint default_channel_texture();

// The image textures are created empty; a built-in image's texture gets its
// picture here, once for the life of the resources. Other textures are left
// alone.
void decode_image_texture(GLuint texture);
// The size of a built-in image's picture, decoded or not; false for any
// other texture.
bool image_texture_size(GLuint texture, int* width, int* height);
// Images decoded since create_render_resources.
int decoded_image_count();

// Every key released.
void blank_keyboard();
