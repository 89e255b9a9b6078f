#include "render/render_resources.h"

#include <cstring>

#include "app/app_settings.h"
#include "app/log.h"
#include "render/builtin_images.h"
#include "shader/channel_table.h"
#include "render/frame_uniforms.h"
#include "render/pass_set_install.h"
#include "render/texture_loading.h"

RenderResourcesState RenderResources;
GLuint ChannelBindings[kChannelBindingCount];
float ChannelResolutions[kChannelBindingCount][4];
FrameUniformsBlock FrameUniforms;

static const char* const kBufferChannelNames[kRenderTargetCount] = {"BufferA", "BufferB", "BufferC", "BufferD"};

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

static void create_uniform_buffer() {
    glNamedBufferData(RenderResources.uniform_buffer, sizeof FrameUniforms, nullptr, GL_DYNAMIC_DRAW);
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, RenderResources.uniform_buffer);
}

static void set_clamped_linear(GLuint texture) {
    glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

static void give_target_storage(const RenderTarget& target) {
    const GLsizei width = AppSettings.window_width;
    const GLsizei height = AppSettings.window_height;
    glTextureStorage2D(target.colour_texture, 1, GL_RGBA32F, width, height);
    set_clamped_linear(target.colour_texture);
    glTextureStorage2D(target.depth_texture, 1, GL_DEPTH32F_STENCIL8, width, height);
    glNamedFramebufferTexture(target.framebuffer, GL_COLOR_ATTACHMENT0, target.colour_texture, 0);
    glNamedFramebufferTexture(target.framebuffer, GL_DEPTH_ATTACHMENT, target.depth_texture, 0);
    const GLenum draw_buffer = GL_COLOR_ATTACHMENT0;
    glNamedFramebufferDrawBuffers(target.framebuffer, 1, &draw_buffer);
}

static void create_target_textures() {
    for (RenderTarget& target : RenderResources.targets) glCreateTextures(GL_TEXTURE_2D, 1, &target.colour_texture);
    for (RenderTarget& target : RenderResources.targets) glCreateTextures(GL_TEXTURE_2D, 1, &target.depth_texture);
}

static void create_render_targets() {
    for (RenderTarget& target : RenderResources.targets) glCreateFramebuffers(1, &target.framebuffer);
    create_target_textures();
    for (const RenderTarget& target : RenderResources.targets) give_target_storage(target);
}

static void load_builtin_images() {
    for (int image = 0; image < kBuiltinImageCount; ++image) {
        const GLuint texture = RenderResources.image_textures[image];
        load_texture(texture, BuiltinImages[image].bytes, static_cast<int32_t>(BuiltinImages[image].size));
        ChannelTable[image] = ChannelTableEntry{BuiltinImages[image].name, texture};
        glBindTextureUnit(static_cast<GLuint>(image), texture);
    }
}

static void enter_buffers_in_channel_table() {
    for (int index = 0; index < kRenderTargetCount; ++index) {
        ChannelTable[kFirstBufferEntry + index] =
            ChannelTableEntry{kBufferChannelNames[index], RenderResources.targets[index].colour_texture};
    }
}

static void create_keyboard_texture() {
    const GLuint texture = RenderResources.keyboard_texture;
    glTextureStorage2D(texture, 1, GL_R8, kKeyboardWidth, kKeyboardHeight);
    set_clamped_linear(texture);
    memset(RenderResources.keyboard_image, 0, sizeof RenderResources.keyboard_image);
    glTextureSubImage2D(texture, 0, 0, 0, kKeyboardWidth, kKeyboardHeight, GL_RED, GL_UNSIGNED_BYTE,
                        RenderResources.keyboard_image);
    ChannelTable[kKeyboardEntry] = ChannelTableEntry{"Keyboard", texture};
}

void create_render_resources() {
    RenderResourcesState& r = RenderResources;
    // Sizes that arrived while the window was created and attached still
    // ask for a re-creation at the first frame.
    const bool resize_pending = r.resize_pending;
    memset(&r, 0, sizeof r);
    r.resize_pending = resize_pending;
    glCreateVertexArrays(1, &r.vertex_array);
    glCreateBuffers(1, &r.vertex_buffer);
    glCreateBuffers(1, &r.uniform_buffer);
    glCreateTextures(GL_TEXTURE_2D, kBuiltinImageCount, r.image_textures);
    glCreateTextures(GL_TEXTURE_2D, 1, &r.keyboard_texture);

    create_quad();
    create_uniform_buffer();
    create_render_targets();

    clear_channel_table();
    load_builtin_images();
    enter_buffers_in_channel_table();
    create_keyboard_texture();
}

bool render_resources_exist() { return RenderResources.vertex_array != 0; }

static void delete_scratch_target(ScratchTarget* scratch) {
    if (scratch->framebuffer) glDeleteFramebuffers(1, &scratch->framebuffer);
    if (scratch->colour_texture) glDeleteTextures(1, &scratch->colour_texture);
    *scratch = ScratchTarget{0, 0};
}

static void create_scratch_target(ScratchTarget* scratch) {
    glCreateFramebuffers(1, &scratch->framebuffer);
    glCreateTextures(GL_TEXTURE_2D, 1, &scratch->colour_texture);
    glTextureStorage2D(scratch->colour_texture, 1, GL_RGBA32F, AppSettings.window_width, AppSettings.window_height);
    set_clamped_linear(scratch->colour_texture);
    glNamedFramebufferTexture(scratch->framebuffer, GL_COLOR_ATTACHMENT0, scratch->colour_texture, 0);
    const GLenum draw_buffer = GL_COLOR_ATTACHMENT0;
    glNamedFramebufferDrawBuffers(scratch->framebuffer, 1, &draw_buffer);
}

void use_scratch_target(int index, bool needed) {
    ScratchTarget* scratch = &RenderResources.scratch[index];
    if (needed && !scratch->framebuffer) create_scratch_target(scratch);
    if (!needed && scratch->framebuffer) delete_scratch_target(scratch);
}

void destroy_render_resources() {
    RenderResourcesState& r = RenderResources;
    delete_installed_programs();
    glDeleteVertexArrays(1, &r.vertex_array);
    glDeleteBuffers(1, &r.vertex_buffer);
    glDeleteBuffers(1, &r.uniform_buffer);
    glDeleteTextures(kBuiltinImageCount, r.image_textures);
    glDeleteTextures(1, &r.keyboard_texture);
    for (RenderTarget& target : r.targets) glDeleteFramebuffers(1, &target.framebuffer);
    for (RenderTarget& target : r.targets) glDeleteTextures(1, &target.colour_texture);
    for (RenderTarget& target : r.targets) glDeleteTextures(1, &target.depth_texture);
    for (ScratchTarget& scratch : r.scratch) delete_scratch_target(&scratch);
    memset(&r, 0, sizeof r);
    clear_channel_table();
}

void request_target_resize() { RenderResources.resize_pending = true; }

static GLuint texture_on_unit(int unit) {
    GLint texture = 0;
    glGetIntegeri_v(GL_TEXTURE_BINDING_2D, static_cast<GLuint>(unit), &texture);
    return static_cast<GLuint>(texture);
}

static void log_colour_textures(const char* format) {
    const RenderTarget* t = RenderResources.targets;
    log_message(format, t[0].colour_texture, t[1].colour_texture, t[2].colour_texture, t[3].colour_texture);
}

void recreate_render_targets() {
    RenderResourcesState& r = RenderResources;
    if (!r.resize_pending) return;
    r.resize_pending = false;

    GLuint old_colour[kRenderTargetCount];
    for (int index = 0; index < kRenderTargetCount; ++index) old_colour[index] = r.targets[index].colour_texture;
    log_colour_textures("old fbo:%d %d %d %d");

    for (int unit = 0; unit < kChannelBindingCount; ++unit) ChannelBindings[unit] = texture_on_unit(unit);

    for (RenderTarget& target : r.targets) glDeleteTextures(1, &target.colour_texture);
    for (RenderTarget& target : r.targets) glDeleteTextures(1, &target.depth_texture);
    create_target_textures();
    log_colour_textures("new fbo:%d %d %d %d");
    for (const RenderTarget& target : r.targets) {
        give_target_storage(target);
        // A pass that reads its own or a later buffer would otherwise start
        // from whatever memory the new texture got.
        glClearTexImage(target.colour_texture, 0, GL_RGBA, GL_FLOAT, nullptr);
    }

    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        for (int index = 0; index < kRenderTargetCount; ++index) {
            if (ChannelBindings[unit] == old_colour[index]) ChannelBindings[unit] = r.targets[index].colour_texture;
        }
    }
    enter_buffers_in_channel_table();
    for (ScratchTarget& scratch : r.scratch) {
        if (!scratch.framebuffer) continue;
        delete_scratch_target(&scratch);
        create_scratch_target(&scratch);
    }
    bind_channel_units();
}

void bind_channel_units() {
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        // NOTE: only reached before the first install, when nothing chose a
        // texture yet; name 1 is the first image texture created.
        const GLuint texture = ChannelBindings[unit] ? ChannelBindings[unit] : 1;
        glBindTextureUnit(static_cast<GLuint>(unit), texture);
    }
}

void measure_channel_resolutions() {
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        float* resolution = ChannelResolutions[unit];
        const GLuint texture = texture_on_unit(unit);
        if (texture == 0) {
            resolution[0] = resolution[1] = resolution[2] = resolution[3] = 0.0f;
            continue;
        }
        GLint width = 0;
        GLint height = 0;
        glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_WIDTH, &width);
        glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_HEIGHT, &height);
        resolution[0] = static_cast<float>(width);
        resolution[1] = static_cast<float>(height);
        resolution[2] = 1.0f;
        resolution[3] = 0.0f;
    }
}
