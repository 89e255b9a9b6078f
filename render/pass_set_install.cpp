#include "render/pass_set_install.h"

#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "render/channel_samplers.h"
#include "render/render_resources.h"
#include "shader/builtin_pass_set.h"
#include "shader/channel_directives.h"

static const GLuint kUniformBlockBinding = 0;

static void delete_programs(GLuint* programs) {
    for (int pass = 0; pass < kPassCount; ++pass) {
        if (programs[pass]) glDeleteProgram(programs[pass]);
        programs[pass] = 0;
    }
}

void uninstall_pass_set(PlayingSet* set) { delete_programs(set->programs); }

static void install_programs(PlayingSet* set, const PassSetResult& result) {
    for (int pass = 0; pass < kPassCount; ++pass) {
        if (set->programs[pass]) glDeleteProgram(set->programs[pass]);
        const GLuint program = result.programs[pass];
        set->programs[pass] = program;
        if (!program) continue;
        // A set that reads none of the uniforms may have the block left out.
        const GLuint block = glGetUniformBlockIndex(program, "LumenfoldBlock");
        if (block != GL_INVALID_INDEX) glUniformBlockBinding(program, block, kUniformBlockBinding);
    }
}

static void fill_channels(PlayingSet* set, const PassSetResult& result) {
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        set->channels[unit] = result.channels[unit] ? result.channels[unit] : default_channel_texture();
    }
}

// Only the buffers the set draws need storage of the render size.
static void size_targets_for_installed_set(PlayingSet* set) {
    for (int index = 0; index < kRenderTargetCount; ++index) {
        set->size.buffer_drawn[index] = set->programs[index + 1] != 0;
    }
    set->size.cube_drawn = set->programs[kCubeAPass] != 0;
    recreate_render_targets(set);
}

// False where the compiler dropped the channel's sampler, or no pass was built.
static bool samples_channel(const PlayingSet& set, int pass, int channel) {
    const GLuint program = set.programs[pass];
    if (!program) return false;
    return glGetUniformLocation(program, kChannelNames[channel]) >= 0;
}

// A buffer or cube pass that really samples its own target cannot draw into it in
// the same draw; it gets a scratch target. One that only binds it (and the
// compiler dropped the sampler) draws in place at no extra cost.
static bool samples_own_target(const PlayingSet& set, int pass) {
    if (pass == kMainPass) return false;
    const GLuint own_texture = own_target_texture(set, pass);
    for (int channel = 0; channel < kChannelsPerPass; ++channel) {
        if (set.channels[kChannelsPerPass * pass + channel] == own_texture && samples_channel(set, pass, channel)) {
            return true;
        }
    }
    return false;
}

// Every image a directive names is decoded; the default one only where a
// pass samples a channel no directive named.
static void decode_images_read(const PlayingSet& set, const PassSetResult& result) {
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        const bool named = result.channels[unit] != 0;
        if (named || samples_channel(set, unit / kChannelsPerPass, unit % kChannelsPerPass)) {
            decode_image_texture(set.channels[unit]);
        }
    }
}

static bool rule_accepts(const PassSetResult& result, InstallRule rule) {
    if (result.programs[kMainPass] == 0) return false;
    return rule == InstallRule::MainMustBuild || result.failed_passes == 0;
}

void prepare_install(PendingInstall* install, const PlayingSet& set, const char* path) {
    // Channels that name a buffer resolve to this set's buffers.
    enter_buffers_in_channel_table(set);
    for (int index = 0; index < kRenderTargetCount; ++index) {
        install->buffers_named[index] = set.targets[index].colour_texture;
    }
    install->cube_named = set.cube_target.colour_texture;
    install->prepared = path ? prepare_pass_set_files(path) : prepare_pass_set(builtin_pass_set_sources());
}

// A buffer or the cube named before its target was made anew reads the
// new one.
// Each channel is looked up once: a new target may have the name an old
// one had.
static GLuint target_now(const PlayingSet& set, const PendingInstall& install, GLuint named) {
    if (!named) return named;
    if (named == install.cube_named) return set.cube_target.colour_texture;
    for (int index = 0; index < kRenderTargetCount; ++index) {
        if (named == install.buffers_named[index]) return set.targets[index].colour_texture;
    }
    return named;
}

static void follow_remade_targets(const PlayingSet& set, const PendingInstall& install, PassSetResult* result) {
    for (GLuint& channel : result->channels) channel = target_now(set, install, channel);
}

bool finish_install(PlayingSet* set, PendingInstall* install, const char* path, InstallRule rule) {
    PassSetResult& result = install->prepared.result;
    if (!rule_accepts(result, rule)) {
        discard_prepared_pass_set(&install->prepared);
        log_message("load_shader failed:%s", outside_text(path).text);
        return false;
    }
    follow_remade_targets(*set, *install, &result);
    install_programs(set, result);
    fill_channels(set, result);
    decode_images_read(*set, result);
    use_channel_sampling(set, result.sampling);
    size_targets_for_installed_set(set);
    measure_channel_resolutions(set);
    for (int pass = kBufferAPass; pass < kPassCount; ++pass) {
        use_scratch_target(set, pass, samples_own_target(*set, pass));
    }
    restart_frame_count_and_time(&set->clock);
    forget_latest_pass_ms(&set->timings);
    memset(set->bands_said, 0, sizeof set->bands_said);
    clear_render_targets(set);
    blank_keyboard();
    return true;
}

bool install_pass_set(PlayingSet* set, const char* path, InstallRule rule) {
    PendingInstall install;
    prepare_install(&install, *set, path);
    compile_prepared_pass_set(&install.prepared);
    return finish_install(set, &install, path, rule);
}
