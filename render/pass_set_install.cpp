#include "render/pass_set_install.h"

#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "render/builtin_images.h"
#include "render/frame_clock.h"
#include "render/render_resources.h"
#include "shader/builtin_pass_set.h"

GLuint InstalledPrograms[kPassCount];

static const GLuint kUniformBlockBinding = 0;

static void delete_programs(GLuint* programs) {
    for (int pass = 0; pass < kPassCount; ++pass) {
        if (programs[pass]) glDeleteProgram(programs[pass]);
        programs[pass] = 0;
    }
}

void uninstall_pass_set() { delete_programs(InstalledPrograms); }

static void install_programs(const PassSetResult& result) {
    for (int pass = 0; pass < kPassCount; ++pass) {
        if (InstalledPrograms[pass]) glDeleteProgram(InstalledPrograms[pass]);
        const GLuint program = result.programs[pass];
        InstalledPrograms[pass] = program;
        if (!program) continue;
        // A set that reads none of the uniforms may have the block left out.
        const GLuint block = glGetUniformBlockIndex(program, "LumenfoldBlock");
        if (block != GL_INVALID_INDEX) glUniformBlockBinding(program, block, kUniformBlockBinding);
    }
}

static void fill_channel_bindings(const PassSetResult& result) {
    const GLuint default_texture = RenderResources.image_textures[kDefaultChannelImage];
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        ChannelBindings[unit] = result.channels[unit] ? result.channels[unit] : default_texture;
    }
}

// Only the buffers the set draws need storage of the render size.
static void size_targets_for_installed_set() {
    bool drawn[kRenderTargetCount];
    for (int index = 0; index < kRenderTargetCount; ++index) drawn[index] = InstalledPrograms[index + 1] != 0;
    set_drawn_buffers(drawn);
    recreate_render_targets();
}

// A buffer pass that really samples its own target cannot draw into it in
// the same draw; it gets a scratch target. One that only binds it (and the
// compiler dropped the sampler) draws in place at no extra cost.
static bool samples_own_target(int pass) {
    const GLuint program = InstalledPrograms[pass];
    if (!program || pass == kMainPass) return false;
    const GLuint own_texture = RenderResources.targets[pass - 1].colour_texture;
    for (int channel = 0; channel < kChannelsPerPass; ++channel) {
        if (ChannelBindings[kChannelsPerPass * pass + channel] != own_texture) continue;
        char sampler[16];
        snprintf(sampler, sizeof sampler, "iChannel%d", channel);
        if (glGetUniformLocation(program, sampler) >= 0) return true;
    }
    return false;
}

static void blank_keyboard() {
    memset(RenderResources.keyboard_image, 0, sizeof RenderResources.keyboard_image);
    glTextureSubImage2D(RenderResources.keyboard_texture, 0, 0, 0, kKeyboardWidth, kKeyboardHeight, GL_RED,
                        GL_UNSIGNED_BYTE, RenderResources.keyboard_image);
}

static bool rule_accepts(const PassSetResult& result, InstallRule rule) {
    if (result.programs[kMainPass] == 0) return false;
    return rule == InstallRule::MainMustBuild || result.failed_passes == 0;
}

bool install_pass_set(const char* path, InstallRule rule) {
    PassSetResult result = path ? load_pass_set_files(path) : build_pass_set(builtin_pass_set_sources());
    if (!rule_accepts(result, rule)) {
        delete_programs(result.programs);
        log_message("load_shader failed:%s", outside_text(path).text);
        return false;
    }
    install_programs(result);
    fill_channel_bindings(result);
    size_targets_for_installed_set();
    bind_channel_units();
    measure_channel_resolutions();
    for (int pass = kBufferAPass; pass < kPassCount; ++pass) use_scratch_target(pass - 1, samples_own_target(pass));
    restart_frame_count_and_time();
    clear_render_targets();
    blank_keyboard();
    return true;
}
