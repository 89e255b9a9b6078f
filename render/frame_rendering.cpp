#include "render/frame_rendering.h"

#include <GL/glew.h>

#include <cstring>

#include "base/log.h"
#include "desktop/platform_services.h"
#include "render/builtin_cubemaps.h"
#include "render/channel_samplers.h"
#include "render/frame_uniforms.h"
#include "render/pass_bands.h"
#include "render/render_resources.h"
#include "render/target_allocation.h"
#include "shader/pass_assembly.h"

static const float kSampleRate = 48000.0f;
static const GLuint kUniformBlockBinding = 0;

// The cursor in render pixels of the set's picture, y counted from its
// bottom edge. No click is ever recorded: z carries the sign of "released".
static void read_mouse(const PlayingSet& set, float mouse[4]) {
    double x = 0.0;
    double y = 0.0;
    get_cursor_position(&x, &y);
    const RenderSize& size = set.size;
    const double scale_x = static_cast<double>(render_width(set)) / size.window_width;
    const double scale_y = static_cast<double>(render_height(set)) / size.window_height;
    mouse[0] = static_cast<float>((x - set.window_x) * scale_x);
    mouse[1] = static_cast<float>((size.window_height - y + set.window_y) * scale_y);
    mouse[2] = -0.0f;
    mouse[3] = 0.0f;
}

static void read_date(float date[4]) {
    const LocalDateTime now = read_local_date_time();
    date[0] = static_cast<float>(now.year);
    date[1] = static_cast<float>(now.month);
    date[2] = static_cast<float>(now.day_of_month);
    date[3] = static_cast<float>(seconds_since_midnight(now.hour, now.minute, now.second, now.millisecond));
}

static void fill_common_uniforms(const PlayingSet& set, const FrameInputs& inputs, FrameUniformsBlock* block) {
    memset(block, 0, sizeof *block);
    block->iResolution[0] = static_cast<float>(render_width(set));
    block->iResolution[1] = static_cast<float>(render_height(set));
    block->iResolution[2] = 1.0f;
    block->iFrame = inputs.timing.frame;
    block->iFrameRate = static_cast<float>(inputs.timing.frame_rate);
    block->iTime = static_cast<float>(inputs.timing.time);
    block->iTimeDelta = static_cast<float>(inputs.timing.time_delta);
    for (int component = 0; component < 4; ++component) {
        block->iMouse[component] = inputs.mouse[component];
        block->iDate[component] = inputs.date[component];
    }
    for (float* channel_time : block->iChannelTime) channel_time[0] = static_cast<float>(inputs.timing.time);
    block->iSampleRate = kSampleRate;
}

// Every pass's block differs only in its channels' resolutions. All five go
// up in one write before any pass draws, so no draw waits for the next
// pass's upload; the write takes fresh storage, so it does not wait for the
// draws of the set before (every set shares the buffer) or of the frame
// before, where a driver would otherwise stall until they are done.
static void upload_pass_uniforms(const PlayingSet& set, const FrameInputs& inputs) {
    unsigned char staging[kPassCount * kLargestUniformBlockStride];
    const GLsizeiptr stride = RenderResources.uniform_block_stride;
    FrameUniformsBlock common;
    fill_common_uniforms(set, inputs, &common);
    for (int pass = 0; pass < kPassCount; ++pass) {
        FrameUniformsBlock block = common;
        // CubeA draws faces, not the picture.
        if (pass == kCubeAPass) {
            block.iResolution[0] = block.iResolution[1] = static_cast<float>(set.cube_target.size);
        }
        for (int channel = 0; channel < kChannelsPerPass; ++channel) {
            memcpy(block.iChannelResolution[channel], set.channel_resolutions[kChannelsPerPass * pass + channel],
                   sizeof block.iChannelResolution[channel]);
        }
        memcpy(staging + pass * stride, &block, sizeof block);
    }
    glNamedBufferData(RenderResources.uniform_buffer, stride * kPassCount, staging, GL_DYNAMIC_DRAW);
}

static void use_uniforms_of(int pass) {
    const GLsizeiptr stride = RenderResources.uniform_block_stride;
    glBindBufferRange(GL_UNIFORM_BUFFER, kUniformBlockBinding, RenderResources.uniform_buffer, pass * stride,
                      sizeof(FrameUniformsBlock));
}

static void draw_quad() { glDrawArrays(GL_TRIANGLE_STRIP, 0, 4); }

// The render size as the frame began. Messages handled between bands may
// resize the set or the window (and set the viewport) already: the targets
// follow at the next frame, so this one goes on at its own size.
struct FrameArea {
    int width;
    int height;
};

// False when the frame gave way before the pass was drawn whole.
static bool draw_pass_quad(const FrameArea& area, int bands) {
    return draw_in_bands(area.width, area.height, bands, draw_quad);
}

static bool draw_buffer_pass(const PlayingSet& set, int pass, int bands, const FrameArea& area) {
    const RenderTarget& target = set.targets[pass - 1];
    const ScratchTarget& scratch = set.scratch[pass - 1];
    glUseProgram(set.programs[pass]);
    use_uniforms_of(pass);
    if (!scratch.framebuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
        return draw_pass_quad(area, bands);
    }
    // The pass samples its own target: it reads last frame's texture while
    // drawing elsewhere, and its output becomes the target afterwards, once
    // every band is drawn. A frame that gives way leaves the target as the
    // frame before left it.
    glBindFramebuffer(GL_FRAMEBUFFER, scratch.framebuffer);
    if (!draw_pass_quad(area, bands)) return false;
    glCopyImageSubData(scratch.colour_texture, GL_TEXTURE_2D, 0, 0, 0, 0, target.colour_texture, GL_TEXTURE_2D, 0, 0, 0,
                       0, target.width, target.height, 1);
    return true;
}

// A cube pass drawn in bands has at least one band a face, each fenced: a
// face at a time is short enough, and the faces share out the bands that
// the whole cube's rows were given.
static int bands_per_face(int bands) { return bands <= 1 ? 1 : (bands + kCubeFaceCount - 1) / kCubeFaceCount; }

// Every face at its own axes, into the cube or, where the pass samples the
// cube, into the scratch cube, copied over once every face is drawn: a
// frame that gives way leaves the cube as the frame before left it.
static bool draw_cube_pass(const PlayingSet& set, int bands) {
    const GLuint program = set.programs[kCubeAPass];
    const bool scratched = set.cube_scratch.colour_texture != 0;
    const CubeTarget& drawn = scratched ? set.cube_scratch : set.cube_target;
    const int size = drawn.size;
    const int face_bands = bands_per_face(bands);
    const GLint axes_location = glGetUniformLocation(program, kCubeFaceUniform);
    glUseProgram(program);
    use_uniforms_of(kCubeAPass);
    glViewport(0, 0, size, size);
    BandRun run;
    if (bands > 1) begin_band_run(&run);
    bool went_on = true;
    for (int face = 0; face < kCubeFaceCount && went_on; ++face) {
        glBindFramebuffer(GL_FRAMEBUFFER, drawn.face_framebuffers[face]);
        if (axes_location >= 0) glProgramUniformMatrix3fv(program, axes_location, 1, GL_FALSE, kCubemapFaceAxes[face]);
        if (bands <= 1) {
            draw_quad();
            continue;
        }
        for (int band = 0; band < face_bands && went_on; ++band) {
            const int first_row = static_cast<int>(static_cast<long long>(size) * band / face_bands);
            const int end_row = static_cast<int>(static_cast<long long>(size) * (band + 1) / face_bands);
            went_on = draw_band(&run, size, size, first_row, end_row, draw_quad);
        }
    }
    if (bands > 1 && !end_band_run(&run)) return false;
    if (scratched) copy_cube(set.cube_scratch, set.cube_target);
    return true;
}

// A smaller or displaced picture is stretched over its part of the window,
// smoothly.
static void place_main_in_window(const PlayingSet& set) {
    const RenderTarget& main_target = set.main_target;
    const int x = set.window_x;
    const int y = set.window_y;
    glBlitNamedFramebuffer(main_target.framebuffer, 0, 0, 0, main_target.width, main_target.height, x, y,
                           x + set.size.window_width, y + set.size.window_height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

static bool draw_main_pass(const PlayingSet& set, int bands, const FrameArea& area) {
    // Nothing defined would be drawn without a program; the window keeps
    // the clear colour instead.
    if (!set.programs[kMainPass]) return true;
    glUseProgram(set.programs[kMainPass]);
    use_uniforms_of(kMainPass);
    const GLuint main_framebuffer = set.main_target.framebuffer;
    glBindFramebuffer(GL_FRAMEBUFFER, main_framebuffer);
    if (!draw_pass_quad(area, bands)) return false;
    if (main_framebuffer && !set.size.main_offscreen) place_main_in_window(set);
    return true;
}

// From what each pass's last measured draw took; whole where the player
// does not look at its messages between bands.
static void plan_bands(PlayingSet* set, int picture_rows, int bands[kPassCount]) {
    for (int pass = 0; pass < kPassCount; ++pass) {
        const bool drawn = set->programs[pass] != 0;
        const bool cube = pass == kCubeAPass;
        const int rows = cube ? kCubeFaceCount * set->cube_target.size : picture_rows;
        bands[pass] = drawn && bands_wanted() ? band_count_for(latest_pass_gpu_ms(*set, pass), rows, set->band_counts[pass] > 1) : 1;
        if (cube && bands[pass] > 1) bands[pass] = kCubeFaceCount * bands_per_face(bands[pass]);
        // Once for each install: a pass that costs about a band's time goes
        // in and out of bands from frame to frame.
        if (bands[pass] > 1 && !set->bands_said[pass]) {
            log_message("bands: %s in %d bands", kPassNames[pass], bands[pass]);
            set->bands_said[pass] = true;
        }
        set->band_counts[pass] = bands[pass];
    }
}

bool render_frame_with(PlayingSet* set, const FrameInputs& inputs) {
    recreate_render_targets(set);
    upload_pass_uniforms(*set, inputs);
    bind_channel_units(set);
    const FrameArea area = {render_width(*set), render_height(*set)};
    glViewport(0, 0, area.width, area.height);

    begin_timed_frame(&set->timings, current_time_seconds());
    int bands[kPassCount];
    plan_bands(set, area.height, bands);
    for (int pass = kBufferAPass; pass <= kBufferDPass; ++pass) {
        if (!set->programs[pass]) continue;
        begin_timed_pass(&set->timings, pass);
        if (!draw_buffer_pass(*set, pass, bands[pass], area)) {
            abandon_timed_frame(&set->timings);
            return false;
        }
        refresh_buffer_mipmaps(set, pass - 1);
        end_timed_pass(&set->timings, pass);
    }
    // After the buffers, so Main reads this frame's cube and the buffers
    // the last frame's.
    if (set->programs[kCubeAPass]) {
        begin_timed_pass(&set->timings, kCubeAPass);
        if (!draw_cube_pass(*set, bands[kCubeAPass])) {
            abandon_timed_frame(&set->timings);
            return false;
        }
        end_timed_pass(&set->timings, kCubeAPass);
        glViewport(0, 0, area.width, area.height);
    }
    if (set->programs[kMainPass]) begin_timed_pass(&set->timings, kMainPass);
    if (!draw_main_pass(*set, bands[kMainPass], area)) {
        abandon_timed_frame(&set->timings);
        return false;
    }
    if (set->programs[kMainPass]) end_timed_pass(&set->timings, kMainPass);
    end_timed_frame(&set->timings);
    return true;
}

void show_last_picture(const PlayingSet& set) {
    if (set.main_target.framebuffer && !set.size.main_offscreen) place_main_in_window(set);
}

bool render_frame(PlayingSet* set) {
    // Before the clock is read: new targets restart iFrame.
    recreate_render_targets(set);
    fall_back_to_smaller_render_scale(set);
    FrameInputs inputs;
    inputs.timing = next_frame_timing(&set->clock);
    read_mouse(*set, inputs.mouse);
    read_date(inputs.date);
    // A frame that gave way was never shown: the next one has its number.
    if (!render_frame_with(set, inputs)) return false;
    count_frame(&set->clock);
    return true;
}
