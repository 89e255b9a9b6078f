#include "render/render_resources.h"

#include <cstring>

#include "render/builtin_cubemaps.h"
#include "render/builtin_images.h"
#include "render/builtin_volumes.h"
#include "render/channel_samplers.h"
#include "render/frame_uniforms.h"
#include "render/sound_texture.h"
#include "render/texture_loading.h"
#include "shader/channel_table.h"

RenderResourcesState RenderResources;

// Position x, y, z and texture coordinate u, v of a strip covering the view.
static const float kQuadVertices[4][5] = {
    {-1.0f, 1.0f, 0.0f, 0.0f, 1.0f},
    {-1.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {1.0f, 1.0f, 0.0f, 1.0f, 1.0f},
    {1.0f, -1.0f, 0.0f, 1.0f, 0.0f},
};
static const GLsizei kQuadStride = 5 * sizeof(float);

static void create_quad() {
    RenderResourcesState& r = RenderResources;
    glNamedBufferStorage(r.vertex_buffer, sizeof kQuadVertices, kQuadVertices, 0);
    glVertexArrayVertexBuffer(r.vertex_array, 0, r.vertex_buffer, 0, kQuadStride);
    // Bound once for the life of the process: every pass draws this quad.
    glBindVertexArray(r.vertex_array);
    glEnableVertexArrayAttrib(r.vertex_array, 0);
    glEnableVertexArrayAttrib(r.vertex_array, 1);
    glVertexArrayAttribFormat(r.vertex_array, 0, 3, GL_FLOAT, GL_FALSE, 0);
    glVertexArrayAttribFormat(r.vertex_array, 1, 2, GL_FLOAT, GL_FALSE, 3 * sizeof(float));
    glVertexArrayAttribBinding(r.vertex_array, 0, 0);
    glVertexArrayAttribBinding(r.vertex_array, 1, 0);
}

static GLsizeiptr aligned_block_stride() {
    GLint alignment = kLargestUniformBlockStride;
    glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &alignment);
    if (alignment <= 0 || alignment > kLargestUniformBlockStride) alignment = kLargestUniformBlockStride;
    const GLsizeiptr block = sizeof(FrameUniformsBlock);
    return (block + alignment - 1) / alignment * alignment;
}

static void create_uniform_buffer() {
    RenderResourcesState& r = RenderResources;
    r.uniform_block_stride = aligned_block_stride();
    glNamedBufferData(r.uniform_buffer, r.uniform_block_stride * kPassCount, nullptr, GL_DYNAMIC_DRAW);
}

// Most sets read one or two of the twenty images, and decoding them all
// would cost the start-up more than everything else here: the textures are
// entered empty and each gets its picture when a set first reads it.
static void enter_builtin_images() {
    for (int image = 0; image < kBuiltinImageCount; ++image) {
        ChannelTable[image] = ChannelTableEntry{BuiltinImages[image].name, RenderResources.image_textures[image]};
    }
}

static int image_of(GLuint texture) {
    for (int image = 0; image < kBuiltinImageCount; ++image) {
        if (texture && RenderResources.image_textures[image] == texture) return image;
    }
    return -1;
}

void decode_image_texture(GLuint texture) {
    RenderResourcesState& r = RenderResources;
    const int image = image_of(texture);
    if (image < 0 || r.image_decoded[image]) return;
    // A failed decode is logged once and not tried again: the bytes are the
    // program's own and will not decode better a second time.
    r.image_decoded[image] = true;
    ++r.decoded_image_count;
    load_texture(texture, BuiltinImages[image].bytes, static_cast<int32_t>(BuiltinImages[image].size));
}

bool image_texture_size(GLuint texture, int* width, int* height) {
    const int image = image_of(texture);
    if (image < 0) return false;
    return read_image_size(BuiltinImages[image].bytes, static_cast<int32_t>(BuiltinImages[image].size), width,
                           height);
}

int decoded_image_count() { return RenderResources.decoded_image_count; }

void blank_keyboard() {
    memset(RenderResources.keyboard_image, 0, sizeof RenderResources.keyboard_image);
    glTextureSubImage2D(RenderResources.keyboard_texture, 0, 0, 0, kKeyboardWidth, kKeyboardHeight, GL_RED,
                        GL_UNSIGNED_BYTE, RenderResources.keyboard_image);
}

static void create_keyboard_texture() {
    const GLuint texture = RenderResources.keyboard_texture;
    glTextureStorage2D(texture, 1, GL_R8, kKeyboardWidth, kKeyboardHeight);
    set_texture_sampling(texture, GL_LINEAR, GL_CLAMP_TO_EDGE);
    blank_keyboard();
    ChannelTable[kKeyboardEntry] = ChannelTableEntry{"Keyboard", texture};
}

void create_render_resources() {
    RenderResourcesState& r = RenderResources;
    memset(&r, 0, sizeof r);
    glCreateVertexArrays(1, &r.vertex_array);
    glCreateBuffers(1, &r.vertex_buffer);
    glCreateBuffers(1, &r.uniform_buffer);
    glCreateTextures(GL_TEXTURE_2D, kBuiltinImageCount, r.image_textures);
    glCreateTextures(GL_TEXTURE_2D, 1, &r.keyboard_texture);

    create_quad();
    create_uniform_buffer();
    clear_channel_table();
    enter_builtin_images();
    create_keyboard_texture();
    enter_builtin_volumes();
    enter_builtin_cubemaps();
    // Filtering across a cube's edges, as every GPU of this GL's age can.
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    create_sound_texture();
}

bool render_resources_exist() { return RenderResources.vertex_array != 0; }

void destroy_render_resources() {
    RenderResourcesState& r = RenderResources;
    glDeleteVertexArrays(1, &r.vertex_array);
    glDeleteBuffers(1, &r.vertex_buffer);
    glDeleteBuffers(1, &r.uniform_buffer);
    glDeleteTextures(kBuiltinImageCount, r.image_textures);
    glDeleteTextures(1, &r.keyboard_texture);
    delete_unflipped_images();
    delete_builtin_volumes();
    delete_builtin_cubemaps();
    destroy_sound_texture();
    memset(&r, 0, sizeof r);
    clear_channel_table();
}

GLuint default_channel_texture() { return RenderResources.image_textures[kDefaultChannelImage]; }
