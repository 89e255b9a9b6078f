#include "render/frame_rendering.h"

#include <GL/glew.h>

#include "desktop/platform_services.h"
#include "render/frame_uniforms.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "render/target_allocation.h"

static const float kSampleRate = 48000.0f;

// The cursor in render pixels, y counted from the bottom edge. No click is
// ever recorded: z carries the sign of "released".
static void read_mouse(float mouse[4]) {
    double x = 0.0;
    double y = 0.0;
    get_cursor_position(&x, &y);
    const double scale_x = static_cast<double>(render_width()) / RenderSize.window_width;
    const double scale_y = static_cast<double>(render_height()) / RenderSize.window_height;
    mouse[0] = static_cast<float>(x * scale_x);
    mouse[1] = static_cast<float>((RenderSize.window_height - y) * scale_y);
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

static void set_frame_uniforms(const FrameInputs& inputs) {
    FrameUniforms.iResolution[0] = static_cast<float>(render_width());
    FrameUniforms.iResolution[1] = static_cast<float>(render_height());
    FrameUniforms.iResolution[2] = 1.0f;
    FrameUniforms.iResolution[3] = 0.0f;
    FrameUniforms.iFrame = inputs.timing.frame;
    FrameUniforms.iFrameRate = static_cast<float>(inputs.timing.frame_rate);
    FrameUniforms.iTime = static_cast<float>(inputs.timing.time);
    FrameUniforms.iTimeDelta = static_cast<float>(inputs.timing.time_delta);
    for (int component = 0; component < 4; ++component) {
        FrameUniforms.iMouse[component] = inputs.mouse[component];
        FrameUniforms.iDate[component] = inputs.date[component];
    }
    for (float* channel_time : FrameUniforms.iChannelTime) channel_time[0] = static_cast<float>(inputs.timing.time);
    FrameUniforms.iSampleRate = kSampleRate;
}

static void upload_frame_uniforms() {
    glNamedBufferSubData(RenderResources.uniform_buffer, 0, sizeof FrameUniforms, &FrameUniforms);
}

static void use_channel_resolutions_of(int pass) {
    for (int channel = 0; channel < kChannelsPerPass; ++channel) {
        const float* measured = ChannelResolutions[kChannelsPerPass * pass + channel];
        for (int component = 0; component < 4; ++component) {
            FrameUniforms.iChannelResolution[channel][component] = measured[component];
        }
    }
}

static void draw_quad() { glDrawArrays(GL_TRIANGLE_STRIP, 0, 4); }

static void draw_buffer_pass(int pass) {
    const RenderTarget& target = RenderResources.targets[pass - 1];
    const ScratchTarget& scratch = RenderResources.scratch[pass - 1];
    glUseProgram(InstalledPrograms[pass]);
    use_channel_resolutions_of(pass);
    upload_frame_uniforms();
    if (!scratch.framebuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
        draw_quad();
        return;
    }
    // The pass samples its own target: it reads last frame's texture while
    // drawing elsewhere, and its output becomes the target afterwards.
    glBindFramebuffer(GL_FRAMEBUFFER, scratch.framebuffer);
    draw_quad();
    glCopyImageSubData(scratch.colour_texture, GL_TEXTURE_2D, 0, 0, 0, 0, target.colour_texture, GL_TEXTURE_2D, 0, 0, 0,
                       0, target.width, target.height, 1);
}

// A smaller picture is stretched over the whole window, smoothly.
static void scale_main_to_window() {
    const RenderTarget& main_target = RenderResources.main_target;
    glBlitNamedFramebuffer(main_target.framebuffer, 0, 0, 0, main_target.width, main_target.height, 0, 0,
                           RenderSize.window_width, RenderSize.window_height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

static void draw_main_pass() {
    // Nothing defined would be drawn without a program; the window keeps
    // the clear colour instead.
    if (!InstalledPrograms[kMainPass]) return;
    glUseProgram(InstalledPrograms[kMainPass]);
    use_channel_resolutions_of(kMainPass);
    upload_frame_uniforms();
    const GLuint main_framebuffer = RenderResources.main_target.framebuffer;
    glBindFramebuffer(GL_FRAMEBUFFER, main_framebuffer);
    draw_quad();
    if (main_framebuffer && !RenderSize.main_offscreen) scale_main_to_window();
}

void render_frame_with(const FrameInputs& inputs) {
    recreate_render_targets();
    set_frame_uniforms(inputs);
    upload_frame_uniforms();
    glViewport(0, 0, render_width(), render_height());

    for (int pass = kBufferAPass; pass < kPassCount; ++pass) {
        if (InstalledPrograms[pass]) draw_buffer_pass(pass);
    }
    draw_main_pass();
}

void render_frame() {
    // Before the clock is read: new targets restart iFrame.
    recreate_render_targets();
    fall_back_to_smaller_render_scale();
    FrameInputs inputs;
    inputs.timing = next_frame_timing();
    read_mouse(inputs.mouse);
    read_date(inputs.date);
    render_frame_with(inputs);
    count_frame();
}
