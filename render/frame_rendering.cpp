#include "render/frame_rendering.h"

#include <GL/glew.h>

#include <cmath>

#include "app/app_settings.h"
#include "desktop/clock.h"
#include "desktop/platform_services.h"
#include "render/frame_uniforms.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"

MouseStateRecord MouseState = {0.0, 0.0, 0.0, 0.0};
int32_t frame_counter = 0;
double start_time = 0.0;

static int64_t counter_frequency = 0;
static int64_t previous_counter = 0;

static const float kSampleRate = 48000.0f;

double measure_frame_rate() {
    if (counter_frequency == 0) counter_frequency = read_performance_frequency();
    const int64_t now = read_performance_counter();
    const double rate = static_cast<double>(counter_frequency) / static_cast<double>(now - previous_counter);
    previous_counter = now;
    return rate;
}

void start_frame_clock() {
    if (counter_frequency == 0) counter_frequency = read_performance_frequency();
    previous_counter = read_performance_counter();
}

void restart_frame_count_and_time() {
    frame_counter = 0;
    start_time = current_time_seconds();
}

double seconds_since_midnight(int hour, int minute, int second, int millisecond) {
    return hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0;
}

static void update_mouse() {
    // No click position is ever recorded: z carries the sign of "released".
    MouseState.z = -std::fabs(MouseState.z);
    get_cursor_position(&MouseState.x, &MouseState.y);
    MouseState.y = AppSettings.window_height - MouseState.y;
}

static void set_date_uniform() {
    const LocalDateTime now = read_local_date_time();
    FrameUniforms.iDate[0] = static_cast<float>(now.year);
    FrameUniforms.iDate[1] = static_cast<float>(now.month);
    FrameUniforms.iDate[2] = static_cast<float>(now.day_of_month);
    FrameUniforms.iDate[3] =
        static_cast<float>(seconds_since_midnight(now.hour, now.minute, now.second, now.millisecond));
}

static void set_frame_uniforms(double elapsed) {
    FrameUniforms.iResolution[0] = static_cast<float>(AppSettings.window_width);
    FrameUniforms.iResolution[1] = static_cast<float>(AppSettings.window_height);
    FrameUniforms.iResolution[2] = 1.0f;
    FrameUniforms.iResolution[3] = 0.0f;
    FrameUniforms.iFrame = frame_counter;

    const double rate = measure_frame_rate();
    FrameUniforms.iFrameRate = static_cast<float>(rate);
    FrameUniforms.iTime = static_cast<float>(elapsed);
    FrameUniforms.iTimeDelta = 1.0f / FrameUniforms.iFrameRate;

    FrameUniforms.iMouse[0] = static_cast<float>(MouseState.x);
    FrameUniforms.iMouse[1] = static_cast<float>(MouseState.y);
    FrameUniforms.iMouse[2] = static_cast<float>(MouseState.z);
    FrameUniforms.iMouse[3] = static_cast<float>(MouseState.w);

    set_date_uniform();
    for (float* channel_time : FrameUniforms.iChannelTime) channel_time[0] = static_cast<float>(elapsed);
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
                       0, AppSettings.window_width, AppSettings.window_height, 1);
}

static void draw_main_pass() {
    // Nothing defined would be drawn without a program; the window keeps
    // the clear colour instead.
    if (!InstalledPrograms[kMainPass]) return;
    glUseProgram(InstalledPrograms[kMainPass]);
    use_channel_resolutions_of(kMainPass);
    upload_frame_uniforms();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    draw_quad();
}

void render_frame() {
    update_mouse();
    // The counter wraps after 49.7 days; the difference modulo the wrap
    // keeps iTime growing across it.
    const double elapsed = elapsed_seconds_between(start_time, current_time_seconds());

    recreate_render_targets();
    set_frame_uniforms(elapsed);
    upload_frame_uniforms();

    for (int pass = kBufferAPass; pass < kPassCount; ++pass) {
        if (InstalledPrograms[pass]) draw_buffer_pass(pass);
    }
    draw_main_pass();
    ++frame_counter;
}
