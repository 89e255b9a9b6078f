#include "render/playing_set.h"

#include <cstring>

#include "base/log.h"
#include "desktop/platform_services.h"
#include "render/render_resources.h"
#include "render/target_allocation.h"
#include "render/texture_loading.h"
#include "shader/channel_table.h"

static const char* const kBufferChannelNames[kRenderTargetCount] = {"BufferA", "BufferB", "BufferC", "BufferD"};

// Buffers hold RGBA32F, Main's own target RGBA8.
static const uint64_t kBufferBytesPerTexel = 16;
static const uint64_t kMainBytesPerTexel = 4;

static int scaled_side(const PlayingSet& set, int window_side) {
    const int scaled = static_cast<int>((static_cast<int64_t>(window_side) * set.size.scale_percent + 50) / 100);
    return scaled > 0 ? scaled : 1;
}

int render_width(const PlayingSet& set) { return scaled_side(set, set.size.window_width); }
int render_height(const PlayingSet& set) { return scaled_side(set, set.size.window_height); }

// The cube follows the render scale, not the window: what it holds is seen
// from every direction, whatever the picture's shape.
int cube_face_size(const PlayingSet& set) { return set.size.cube_drawn ? scaled_side(set, kCubeFaceSize) : 1; }

static void set_clamped_linear(GLuint texture) { set_texture_sampling(texture, GL_LINEAR, GL_CLAMP_TO_EDGE); }

static void attach_colour_texture(GLuint framebuffer, GLuint texture) {
    glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, texture, 0);
    const GLenum draw_buffer = GL_COLOR_ATTACHMENT0;
    glNamedFramebufferDrawBuffers(framebuffer, 1, &draw_buffer);
}

// A buffer no pass draws keeps one texel: channels that name it still read
// zeros, without a window's worth of storage behind them.
static void wanted_buffer_size(const PlayingSet& set, int index, int* width, int* height) {
    const bool drawn = set.size.buffer_drawn[index];
    *width = drawn ? render_width(set) : 1;
    *height = drawn ? render_height(set) : 1;
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

static bool buffer_has_wanted_size(const PlayingSet& set, int index) {
    int width = 0;
    int height = 0;
    wanted_buffer_size(set, index, &width, &height);
    const RenderTarget& target = set.targets[index];
    return target.width == width && target.height == height;
}

static void create_buffer_targets(PlayingSet* set) {
    for (int index = 0; index < kRenderTargetCount; ++index) {
        RenderTarget* target = &set->targets[index];
        glCreateFramebuffers(1, &target->framebuffer);
        int width = 0;
        int height = 0;
        wanted_buffer_size(*set, index, &width, &height);
        give_buffer_storage(target, width, height);
    }
}

// Main draws straight into the window only where nothing has to be moved or
// scaled: gl_FragCoord counts from the window's corner, not the picture's.
static bool main_target_wanted(const PlayingSet& set) {
    return set.size.main_offscreen || set.size.main_kept || set.size.scale_percent < kFullRenderScale ||
           set.window_x != 0 || set.window_y != 0;
}

static void delete_main_target(PlayingSet* set) {
    RenderTarget& target = set->main_target;
    if (target.framebuffer) glDeleteFramebuffers(1, &target.framebuffer);
    if (target.colour_texture) glDeleteTextures(1, &target.colour_texture);
    target = RenderTarget{0, 0, 0, 0};
}

static void create_main_target(PlayingSet* set) {
    RenderTarget& target = set->main_target;
    target.width = render_width(*set);
    target.height = render_height(*set);
    glCreateFramebuffers(1, &target.framebuffer);
    glCreateTextures(GL_TEXTURE_2D, 1, &target.colour_texture);
    glTextureStorage2D(target.colour_texture, 1, GL_RGBA8, target.width, target.height);
    set_clamped_linear(target.colour_texture);
    attach_colour_texture(target.framebuffer, target.colour_texture);
}

static bool main_target_as_wanted(const PlayingSet& set) {
    const RenderTarget& target = set.main_target;
    if (!main_target_wanted(set)) return target.framebuffer == 0;
    return target.framebuffer != 0 && target.width == render_width(set) && target.height == render_height(set);
}

static void log_target_bytes(const PlayingSet& set) {
    log_message("render targets: %llu bytes", (unsigned long long)render_target_bytes(set));
}

void create_playing_set(PlayingSet* set, int width, int height, int scale_percent) {
    memset(set, 0, sizeof *set);
    set->size.window_width = width > 0 ? width : 1;
    set->size.window_height = height > 0 ? height : 1;
    set_render_scale(set, scale_percent);
    for (GLuint& channel : set->channels) channel = default_channel_texture();
    create_buffer_targets(set);
    create_cube_target(&set->cube_target, cube_face_size(*set));
    if (main_target_wanted(*set)) create_main_target(set);
    start_frame_clock(&set->clock);
    create_pass_timings(&set->timings);
    log_target_bytes(*set);
    check_render_targets(set);
}

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

GLuint own_target_texture(const PlayingSet& set, int pass) {
    if (pass == kCubeAPass) return set.cube_target.colour_texture;
    return pass >= kBufferAPass && pass <= kBufferDPass ? set.targets[pass - kBufferAPass].colour_texture : 0;
}

static void use_cube_scratch_target(PlayingSet* set, bool needed) {
    CubeTarget* scratch = &set->cube_scratch;
    if (needed && !scratch->colour_texture) {
        create_cube_target(scratch, set->cube_target.size);
        check_render_targets(set);
    }
    if (!needed && scratch->colour_texture) delete_cube_target(scratch);
}

void use_scratch_target(PlayingSet* set, int pass, bool needed) {
    if (pass == kCubeAPass) {
        use_cube_scratch_target(set, needed);
        return;
    }
    if (pass < kBufferAPass || pass > kBufferDPass) return;
    const int index = pass - kBufferAPass;
    ScratchTarget* scratch = &set->scratch[index];
    if (needed && !scratch->framebuffer) {
        create_scratch_target(scratch, set->targets[index]);
        check_render_targets(set);
    }
    if (!needed && scratch->framebuffer) delete_scratch_target(scratch);
}

void destroy_playing_set(PlayingSet* set) {
    for (GLuint& program : set->programs) {
        if (program) glDeleteProgram(program);
    }
    for (RenderTarget& target : set->targets) glDeleteFramebuffers(1, &target.framebuffer);
    for (RenderTarget& target : set->targets) glDeleteTextures(1, &target.colour_texture);
    for (ScratchTarget& scratch : set->scratch) delete_scratch_target(&scratch);
    delete_cube_target(&set->cube_target);
    delete_cube_target(&set->cube_scratch);
    delete_main_target(set);
    delete_channel_samplers(set);
    delete_pass_timings(&set->timings);
    memset(set, 0, sizeof *set);
}

void request_target_resize(PlayingSet* set, int width, int height) {
    if (width <= 0 || height <= 0) return;
    // What the set is shown on changed: it starts afresh, as always.
    if (width != set->size.window_width || height != set->size.window_height) set->size.carry_pictures = false;
    set->size.window_width = width;
    set->size.window_height = height;
}

void set_render_scale(PlayingSet* set, int percent) {
    if (percent < kMinimumRenderScale) percent = kMinimumRenderScale;
    if (percent > kFullRenderScale) percent = kFullRenderScale;
    set->size.scale_percent = percent;
    set->size.carry_pictures = false;
}

void rescale_keeping_pictures(PlayingSet* set, int percent) {
    const int before = set->size.scale_percent;
    set_render_scale(set, percent);
    if (set->size.scale_percent != before) set->size.carry_pictures = true;
}

void set_main_offscreen(PlayingSet* set, bool offscreen) { set->size.main_offscreen = offscreen; }

void set_main_kept(PlayingSet* set, bool kept) { set->size.main_kept = kept; }

void place_in_window(PlayingSet* set, int x, int y) {
    set->window_x = x;
    set->window_y = y;
}

static void log_colour_textures(const PlayingSet& set, const char* format) {
    const RenderTarget* t = set.targets;
    log_message(format, t[0].colour_texture, t[1].colour_texture, t[2].colour_texture, t[3].colour_texture);
}

// Channels keep sampling the same buffer when its texture is replaced.
static void follow_replaced_textures(PlayingSet* set, const GLuint old_textures[kRenderTargetCount]) {
    for (GLuint& channel : set->channels) {
        for (int index = 0; index < kRenderTargetCount; ++index) {
            if (channel != old_textures[index]) continue;
            channel = set->targets[index].colour_texture;
            break;
        }
    }
}

// The old picture, stretched smoothly over the new texture: trails, fluids
// and growth go on at the new size as if nothing happened.
static void carry_picture_over(GLuint old_texture, int old_width, int old_height, const RenderTarget& target) {
    GLuint read_framebuffer = 0;
    glCreateFramebuffers(1, &read_framebuffer);
    glNamedFramebufferTexture(read_framebuffer, GL_COLOR_ATTACHMENT0, old_texture, 0);
    glNamedFramebufferReadBuffer(read_framebuffer, GL_COLOR_ATTACHMENT0);
    glBlitNamedFramebuffer(read_framebuffer, target.framebuffer, 0, 0, old_width, old_height, 0, 0, target.width,
                           target.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glDeleteFramebuffers(1, &read_framebuffer);
}

static void replace_buffer_storage(PlayingSet* set, int index, bool carry) {
    RenderTarget* target = &set->targets[index];
    const GLuint old_texture = target->colour_texture;
    const int old_width = target->width;
    const int old_height = target->height;
    int width = 0;
    int height = 0;
    wanted_buffer_size(*set, index, &width, &height);
    give_buffer_storage(target, width, height);
    // A buffer that was one texel held nothing worth keeping.
    if (carry && old_width > 1 && old_height > 1) carry_picture_over(old_texture, old_width, old_height, *target);
    glDeleteTextures(1, &old_texture);
}

static void recreate_buffer_targets(PlayingSet* set, const bool changed[kRenderTargetCount]) {
    GLuint old_textures[kRenderTargetCount];
    for (int index = 0; index < kRenderTargetCount; ++index) old_textures[index] = set->targets[index].colour_texture;
    log_colour_textures(*set, "old fbo:%d %d %d %d");

    const bool carry = set->size.carry_pictures;
    for (int index = 0; index < kRenderTargetCount; ++index) {
        if (changed[index]) replace_buffer_storage(set, index, carry);
    }
    log_colour_textures(*set, "new fbo:%d %d %d %d");

    follow_replaced_textures(set, old_textures);
    for (int index = 0; index < kRenderTargetCount; ++index) {
        ScratchTarget* scratch = &set->scratch[index];
        if (!changed[index] || !scratch->framebuffer) continue;
        delete_scratch_target(scratch);
        create_scratch_target(scratch, set->targets[index]);
    }
}

static void follow_replaced_cube(PlayingSet* set, GLuint old_texture) {
    for (GLuint& channel : set->channels) {
        if (channel == old_texture) channel = set->cube_target.colour_texture;
    }
}

static void recreate_cube_target(PlayingSet* set) {
    CubeTarget old = set->cube_target;
    set->cube_target = CubeTarget{};
    create_cube_target(&set->cube_target, cube_face_size(*set));
    // A cube of a texel a face held nothing worth keeping.
    if (set->size.carry_pictures && old.size > 1) carry_cube_over(old.colour_texture, old.size, set->cube_target);
    follow_replaced_cube(set, old.colour_texture);
    delete_cube_target(&old);
    if (set->cube_scratch.colour_texture) {
        delete_cube_target(&set->cube_scratch);
        create_cube_target(&set->cube_scratch, set->cube_target.size);
    }
}

void recreate_render_targets(PlayingSet* set) {
    bool changed[kRenderTargetCount];
    bool any_buffer_changed = false;
    for (int index = 0; index < kRenderTargetCount; ++index) {
        changed[index] = !buffer_has_wanted_size(*set, index);
        any_buffer_changed = any_buffer_changed || changed[index];
    }
    const bool cube_changed = set->cube_target.size != cube_face_size(*set);
    const bool main_changed = !main_target_as_wanted(*set);
    if (!any_buffer_changed && !cube_changed && !main_changed) return;

    if (any_buffer_changed) recreate_buffer_targets(set, changed);
    if (cube_changed) recreate_cube_target(set);
    if (any_buffer_changed || cube_changed) {
        measure_channel_resolutions(set);
        if (!set->size.carry_pictures) restart_frame_count(&set->clock);
    }
    if (main_changed) {
        delete_main_target(set);
        if (main_target_wanted(*set)) create_main_target(set);
    }
    set->size.carry_pictures = false;
    log_target_bytes(*set);
    check_render_targets(set);
}

void bind_channel_units(PlayingSet* set) {
    glBindTextures(0, kChannelBindingCount, set->channels);
    bind_channel_samplers(set);
}

void measure_channel_resolutions(PlayingSet* set) {
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        float* resolution = set->channel_resolutions[unit];
        const GLuint texture = set->channels[unit];
        if (texture == 0) {
            resolution[0] = resolution[1] = resolution[2] = resolution[3] = 0.0f;
            continue;
        }
        GLint width = 0;
        GLint height = 0;
        GLint depth = 1;
        // An image no pass samples may never be decoded, yet a pass can read
        // its size.
        if (!image_texture_size(texture, &width, &height)) {
            glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_WIDTH, &width);
            glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_HEIGHT, &height);
            // A volume's depth is its third size; a picture or a cube face has 1.
            glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_DEPTH, &depth);
        }
        resolution[0] = static_cast<float>(width);
        resolution[1] = static_cast<float>(height);
        resolution[2] = static_cast<float>(depth);
        resolution[3] = 0.0f;
    }
}

void enter_buffers_in_channel_table(const PlayingSet& set) {
    for (int index = 0; index < kRenderTargetCount; ++index) {
        ChannelTable[kFirstBufferEntry + index] =
            ChannelTableEntry{kBufferChannelNames[index], set.targets[index].colour_texture};
    }
    ChannelTable[kCubeAEntry] = ChannelTableEntry{"CubeA", set.cube_target.colour_texture, GL_TEXTURE_CUBE_MAP};
}

static uint64_t texels(int width, int height) { return static_cast<uint64_t>(width) * static_cast<uint64_t>(height); }

uint64_t render_target_bytes(const PlayingSet& set) {
    uint64_t bytes = 0;
    for (int index = 0; index < kRenderTargetCount; ++index) {
        const RenderTarget& target = set.targets[index];
        const uint64_t target_bytes = texels(target.width, target.height) * kBufferBytesPerTexel;
        bytes += set.scratch[index].framebuffer ? 2 * target_bytes : target_bytes;
    }
    bytes += cube_target_bytes(set.cube_target) + cube_target_bytes(set.cube_scratch);
    return bytes + texels(set.main_target.width, set.main_target.height) * kMainBytesPerTexel;
}

void clear_render_targets(PlayingSet* set) {
    for (const RenderTarget& target : set->targets) {
        glClearTexImage(target.colour_texture, 0, GL_RGBA, GL_FLOAT, nullptr);
    }
    glClearTexImage(set->cube_target.colour_texture, 0, GL_RGBA, GL_FLOAT, nullptr);
}

double latest_pass_gpu_ms(const PlayingSet& set, int pass) { return latest_pass_ms(set.timings, pass); }

double median_pass_gpu_ms(const PlayingSet& set, int pass) {
    return median_pass_ms(set.timings, pass, current_time_seconds());
}
