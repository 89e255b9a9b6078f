#include "render/render_resources.h"

#include <cstring>

#include "base/log.h"
#include "render/builtin_images.h"
#include "render/frame_clock.h"
#include "render/frame_uniforms.h"
#include "render/target_allocation.h"
#include "render/texture_loading.h"
#include "shader/channel_table.h"

RenderResourcesState RenderResources;
GLuint ChannelBindings[kChannelBindingCount];
float ChannelResolutions[kChannelBindingCount][4];
FrameUniformsBlock FrameUniforms;
RenderSizeState RenderSize = {1, 1, kFullRenderScale, {false, false, false, false}, false};

static const char* const kBufferChannelNames[kRenderTargetCount] = {"BufferA", "BufferB", "BufferC", "BufferD"};

// Buffers hold RGBA32F, Main's own target RGBA8.
static const uint64_t kBufferBytesPerTexel = 16;
static const uint64_t kMainBytesPerTexel = 4;

// Position x, y, z and texture coordinate u, v of a strip covering the view.
static const float kQuadVertices[4][5] = {
    {-1.0f, 1.0f, 0.0f, 0.0f, 1.0f},
    {-1.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {1.0f, 1.0f, 0.0f, 1.0f, 1.0f},
    {1.0f, -1.0f, 0.0f, 1.0f, 0.0f},
};
static const GLsizei kQuadStride = 5 * sizeof(float);

static int scaled_side(int window_side) {
    const int scaled = static_cast<int>((static_cast<int64_t>(window_side) * RenderSize.scale_percent + 50) / 100);
    return scaled > 0 ? scaled : 1;
}

int render_width() { return scaled_side(RenderSize.window_width); }
int render_height() { return scaled_side(RenderSize.window_height); }

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

static void attach_colour_texture(GLuint framebuffer, GLuint texture) {
    glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, texture, 0);
    const GLenum draw_buffer = GL_COLOR_ATTACHMENT0;
    glNamedFramebufferDrawBuffers(framebuffer, 1, &draw_buffer);
}

// A buffer no pass draws keeps one texel: channels that name it still read
// zeros, without a window's worth of storage behind them.
static void wanted_buffer_size(int index, int* width, int* height) {
    const bool drawn = RenderSize.buffer_drawn[index];
    *width = drawn ? render_width() : 1;
    *height = drawn ? render_height() : 1;
}

static void give_buffer_storage(RenderTarget* target, int width, int height) {
    glCreateTextures(GL_TEXTURE_2D, 1, &target->colour_texture);
    glTextureStorage2D(target->colour_texture, 1, GL_RGBA32F, width, height);
    set_clamped_linear(target->colour_texture);
    // A pass that reads its own or a later buffer would otherwise start from
    // whatever memory the new texture got.
    glClearTexImage(target->colour_texture, 0, GL_RGBA, GL_FLOAT, nullptr);
    attach_colour_texture(target->framebuffer, target->colour_texture);
    target->width = width;
    target->height = height;
}

static bool buffer_has_wanted_size(int index) {
    int width = 0;
    int height = 0;
    wanted_buffer_size(index, &width, &height);
    const RenderTarget& target = RenderResources.targets[index];
    return target.width == width && target.height == height;
}

static void create_buffer_targets() {
    for (int index = 0; index < kRenderTargetCount; ++index) {
        RenderTarget* target = &RenderResources.targets[index];
        glCreateFramebuffers(1, &target->framebuffer);
        int width = 0;
        int height = 0;
        wanted_buffer_size(index, &width, &height);
        give_buffer_storage(target, width, height);
    }
}

static bool main_target_wanted() { return RenderSize.main_offscreen || RenderSize.scale_percent < kFullRenderScale; }

static void delete_main_target() {
    RenderTarget& target = RenderResources.main_target;
    if (target.framebuffer) glDeleteFramebuffers(1, &target.framebuffer);
    if (target.colour_texture) glDeleteTextures(1, &target.colour_texture);
    target = RenderTarget{0, 0, 0, 0};
}

static void create_main_target() {
    RenderTarget& target = RenderResources.main_target;
    target.width = render_width();
    target.height = render_height();
    glCreateFramebuffers(1, &target.framebuffer);
    glCreateTextures(GL_TEXTURE_2D, 1, &target.colour_texture);
    glTextureStorage2D(target.colour_texture, 1, GL_RGBA8, target.width, target.height);
    set_clamped_linear(target.colour_texture);
    attach_colour_texture(target.framebuffer, target.colour_texture);
}

static bool main_target_as_wanted() {
    const RenderTarget& target = RenderResources.main_target;
    if (!main_target_wanted()) return target.framebuffer == 0;
    return target.framebuffer != 0 && target.width == render_width() && target.height == render_height();
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

static void log_target_bytes() { log_message("render targets: %llu bytes", (unsigned long long)render_target_bytes()); }

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
    create_buffer_targets();
    if (main_target_wanted()) create_main_target();

    clear_channel_table();
    load_builtin_images();
    enter_buffers_in_channel_table();
    create_keyboard_texture();
    log_target_bytes();
    check_render_targets();
}

bool render_resources_exist() { return RenderResources.vertex_array != 0; }

static void delete_scratch_target(ScratchTarget* scratch) {
    if (scratch->framebuffer) glDeleteFramebuffers(1, &scratch->framebuffer);
    if (scratch->colour_texture) glDeleteTextures(1, &scratch->colour_texture);
    *scratch = ScratchTarget{0, 0};
}

static void create_scratch_target(ScratchTarget* scratch, const RenderTarget& target) {
    glCreateFramebuffers(1, &scratch->framebuffer);
    glCreateTextures(GL_TEXTURE_2D, 1, &scratch->colour_texture);
    glTextureStorage2D(scratch->colour_texture, 1, GL_RGBA32F, target.width, target.height);
    set_clamped_linear(scratch->colour_texture);
    attach_colour_texture(scratch->framebuffer, scratch->colour_texture);
}

void use_scratch_target(int index, bool needed) {
    ScratchTarget* scratch = &RenderResources.scratch[index];
    if (needed && !scratch->framebuffer) {
        create_scratch_target(scratch, RenderResources.targets[index]);
        check_render_targets();
    }
    if (!needed && scratch->framebuffer) delete_scratch_target(scratch);
}

void destroy_render_resources() {
    RenderResourcesState& r = RenderResources;
    glDeleteVertexArrays(1, &r.vertex_array);
    glDeleteBuffers(1, &r.vertex_buffer);
    glDeleteBuffers(1, &r.uniform_buffer);
    glDeleteTextures(kBuiltinImageCount, r.image_textures);
    glDeleteTextures(1, &r.keyboard_texture);
    for (RenderTarget& target : r.targets) glDeleteFramebuffers(1, &target.framebuffer);
    for (RenderTarget& target : r.targets) glDeleteTextures(1, &target.colour_texture);
    for (ScratchTarget& scratch : r.scratch) delete_scratch_target(&scratch);
    delete_main_target();
    memset(&r, 0, sizeof r);
    memset(ChannelBindings, 0, sizeof ChannelBindings);
    clear_channel_table();
}

void request_target_resize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    RenderSize.window_width = width;
    RenderSize.window_height = height;
}

void set_render_scale(int percent) {
    if (percent < kMinimumRenderScale) percent = kMinimumRenderScale;
    if (percent > kFullRenderScale) percent = kFullRenderScale;
    RenderSize.scale_percent = percent;
}

void set_main_offscreen(bool offscreen) { RenderSize.main_offscreen = offscreen; }

void set_drawn_buffers(const bool drawn[kRenderTargetCount]) {
    for (int index = 0; index < kRenderTargetCount; ++index) RenderSize.buffer_drawn[index] = drawn[index];
}

static void log_colour_textures(const char* format) {
    const RenderTarget* t = RenderResources.targets;
    log_message(format, t[0].colour_texture, t[1].colour_texture, t[2].colour_texture, t[3].colour_texture);
}

// Channels keep sampling the same buffer when its texture is replaced.
static void follow_replaced_textures(const GLuint old_textures[kRenderTargetCount]) {
    for (GLuint& binding : ChannelBindings) {
        for (int index = 0; index < kRenderTargetCount; ++index) {
            if (binding != old_textures[index]) continue;
            binding = RenderResources.targets[index].colour_texture;
            break;
        }
    }
}

static void recreate_buffer_targets(const bool changed[kRenderTargetCount]) {
    RenderResourcesState& r = RenderResources;
    GLuint old_textures[kRenderTargetCount];
    for (int index = 0; index < kRenderTargetCount; ++index) old_textures[index] = r.targets[index].colour_texture;
    log_colour_textures("old fbo:%d %d %d %d");

    for (int index = 0; index < kRenderTargetCount; ++index) {
        if (!changed[index]) continue;
        glDeleteTextures(1, &r.targets[index].colour_texture);
        int width = 0;
        int height = 0;
        wanted_buffer_size(index, &width, &height);
        give_buffer_storage(&r.targets[index], width, height);
    }
    log_colour_textures("new fbo:%d %d %d %d");

    follow_replaced_textures(old_textures);
    enter_buffers_in_channel_table();
    for (int index = 0; index < kRenderTargetCount; ++index) {
        ScratchTarget* scratch = &r.scratch[index];
        if (!changed[index] || !scratch->framebuffer) continue;
        delete_scratch_target(scratch);
        create_scratch_target(scratch, r.targets[index]);
    }
    bind_channel_units();
    measure_channel_resolutions();
    restart_frame_count();
}

void recreate_render_targets() {
    bool changed[kRenderTargetCount];
    bool any_buffer_changed = false;
    for (int index = 0; index < kRenderTargetCount; ++index) {
        changed[index] = !buffer_has_wanted_size(index);
        any_buffer_changed = any_buffer_changed || changed[index];
    }
    const bool main_changed = !main_target_as_wanted();
    if (!any_buffer_changed && !main_changed) return;

    if (any_buffer_changed) recreate_buffer_targets(changed);
    if (main_changed) {
        delete_main_target();
        if (main_target_wanted()) create_main_target();
    }
    log_target_bytes();
    check_render_targets();
}

void bind_channel_units() {
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        // Before the first install nothing chose a texture yet.
        const GLuint texture =
            ChannelBindings[unit] ? ChannelBindings[unit] : RenderResources.image_textures[kDefaultChannelImage];
        glBindTextureUnit(static_cast<GLuint>(unit), texture);
    }
}

static GLuint texture_on_unit(int unit) {
    GLint texture = 0;
    glGetIntegeri_v(GL_TEXTURE_BINDING_2D, static_cast<GLuint>(unit), &texture);
    return static_cast<GLuint>(texture);
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

static uint64_t texels(int width, int height) { return static_cast<uint64_t>(width) * static_cast<uint64_t>(height); }

uint64_t render_target_bytes() {
    const RenderResourcesState& r = RenderResources;
    uint64_t bytes = 0;
    for (int index = 0; index < kRenderTargetCount; ++index) {
        const RenderTarget& target = r.targets[index];
        const uint64_t target_bytes = texels(target.width, target.height) * kBufferBytesPerTexel;
        bytes += r.scratch[index].framebuffer ? 2 * target_bytes : target_bytes;
    }
    return bytes + texels(r.main_target.width, r.main_target.height) * kMainBytesPerTexel;
}

void clear_render_targets() {
    for (const RenderTarget& target : RenderResources.targets) {
        glClearTexImage(target.colour_texture, 0, GL_RGBA, GL_FLOAT, nullptr);
    }
}
