#include "render_tool/offscreen_render.h"

#include <GL/glew.h>
#include <stb_image_write.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file_access.h"
#include "base/log.h"
#include "gl/gl_diagnostics.h"
#include "render/pass_set_install.h"
#include "render/playing_set.h"
#include "render/render_resources.h"
#include "render/target_allocation.h"
#include "shader/pass_set.h"

static const int kBytesPerPixel = 4;

struct EncodedPng {
    unsigned char* bytes;
    size_t size;
    bool out_of_memory;
};

static const double kSecondsPerDay = 86400.0;

static bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

static int days_in_month(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 1 && is_leap_year(year) ? 29 : kDays[month];
}

void render_date_after(double seconds, float date[4]) {
    const double since_midnight = kRenderDate[3] + seconds;
    double days = floor(since_midnight / kSecondsPerDay);
    int year = static_cast<int>(kRenderDate[0]);
    int month = static_cast<int>(kRenderDate[1]);
    int day = static_cast<int>(kRenderDate[2]);
    // Renders are at most hours long: a day at a time is quick enough.
    for (; days > 0; --days) {
        if (++day <= days_in_month(year, month)) continue;
        day = 1;
        if (++month == 12) {
            month = 0;
            ++year;
        }
    }
    date[0] = static_cast<float>(year);
    date[1] = static_cast<float>(month);
    date[2] = static_cast<float>(day);
    date[3] = static_cast<float>(since_midnight - floor(since_midnight / kSecondsPerDay) * kSecondsPerDay);
}

FrameInputs fixed_step_frame_inputs(int32_t frame, int frames_per_second) {
    FrameInputs inputs;
    inputs.timing.time = static_cast<double>(frame) / frames_per_second;
    inputs.timing.time_delta = 1.0 / frames_per_second;
    inputs.timing.frame_rate = frames_per_second;
    inputs.timing.frame = frame;
    const float released_at_origin[4] = {0.0f, 0.0f, -0.0f, 0.0f};
    memcpy(inputs.mouse, released_at_origin, sizeof inputs.mouse);
    render_date_after(inputs.timing.time, inputs.date);
    return inputs;
}

static const char* pass_set_name(const char* path) { return path ? path : "the built-in wallpaper"; }

// A missing Main file would only show as "does not build".
static bool main_file_readable(const char* path) {
    if (!path) return true;
    char* text = read_whole_file(path);
    free(text);
    if (text) return true;
    log_message("lumenfold-render: cannot read %s", outside_text(path).text);
    return false;
}

static bool size_fits_the_gl(int width, int height) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (width <= largest && height <= largest) return true;
    log_message("lumenfold-render: %dx%d is larger than this GL's largest texture side, %d", width, height, largest);
    return false;
}

static void create_offscreen_set(PlayingSet* set, int width, int height, bool stats) {
    // Figures for authors must hold on every driver; waiting costs nothing
    // here.
    time_passes_by_finishing(stats);
    create_render_resources();
    create_playing_set(set, width, height, kFullRenderScale);
    set_main_offscreen(set, true);
}

static bool install_whole_pass_set(PlayingSet* set, const char* path) {
    if (install_pass_set(set, path, InstallRule::EveryPassMustBuild)) return true;
    log_message("lumenfold-render: %s does not build in every pass", outside_text(pass_set_name(path)).text);
    return false;
}

// Rendering on into targets without storage would only fail on every draw.
static bool targets_allocated_for(const PlayingSet& set, const RenderArguments& arguments) {
    if (render_targets_allocated(set)) return true;
    log_message("lumenfold-render: the GL could not allocate the render targets of %dx%d for %s; a smaller --size "
                "may fit", arguments.width, arguments.height, outside_text(pass_set_name(arguments.pass_set_path)).text);
    return false;
}

// Measuring waits for each frame's results: a renderer without a window
// has nobody to keep answering.
static void render_frames(PlayingSet* set, const RenderArguments& arguments) {
    const int32_t last = last_frame_number(arguments);
    for (int32_t frame = 0; frame <= last; ++frame) {
        render_frame_with(set, fixed_step_frame_inputs(frame, arguments.frames_per_second));
        if (arguments.stats) collect_pass_timings(&set->timings);
    }
}

static void take_stats(const PlayingSet& set, RenderStats* stats) {
    memset(stats, 0, sizeof *stats);
    stats->frames_measured = static_cast<int>(set.timings.frames_measured);
    for (int pass = 0; pass < kPassCount; ++pass) {
        stats->drawn[pass] = set.programs[pass] != 0;
        stats->pass_ms[pass] = median_pass_ms_of_all(set.timings, pass);
    }
    stats->frame_ms = median_frame_ms_of_all(set.timings);
}

void log_render_stats(const RenderStats& stats, const RenderArguments& arguments) {
    log_message("stats: %d frames measured at %dx%d, median GPU time per frame", stats.frames_measured,
                arguments.width, arguments.height);
    for (int pass = kBufferAPass; pass < kPassCount; ++pass) {
        if (stats.drawn[pass]) log_message("stats: %-8s %10.3f ms", kPassNames[pass], stats.pass_ms[pass]);
    }
    if (stats.drawn[kMainPass]) log_message("stats: %-8s %10.3f ms", kPassNames[kMainPass], stats.pass_ms[kMainPass]);
    const double pixels = static_cast<double>(arguments.width) * arguments.height;
    // The cube's faces keep their size whatever the picture's.
    const double cube_ms = stats.drawn[kCubeAPass] ? stats.pass_ms[kCubeAPass] : 0.0;
    const double at_4k = (stats.frame_ms - cube_ms) * 3840.0 * 2160.0 / pixels + cube_ms;
    log_message("stats: frame    %10.3f ms at %dx%d, %.1f ms at 3840x2160", stats.frame_ms, arguments.width,
                arguments.height, at_4k);
}

// GL rows start at the bottom, image files' at the top. The desktop shows
// Main's colour whatever alpha it wrote, so the picture is opaque too.
static void flip_rows_opaque(const unsigned char* bottom_up, unsigned char* top_down, int width, int height) {
    const size_t row_bytes = static_cast<size_t>(width) * kBytesPerPixel;
    for (int row = 0; row < height; ++row) {
        memcpy(top_down + row * row_bytes, bottom_up + static_cast<size_t>(height - 1 - row) * row_bytes, row_bytes);
    }
    const size_t bytes = row_bytes * static_cast<size_t>(height);
    for (size_t alpha = kBytesPerPixel - 1; alpha < bytes; alpha += kBytesPerPixel) top_down[alpha] = 255;
}

// Main's picture, top row first; the caller frees it. Null when no memory
// is left.
static unsigned char* read_main_picture(const PlayingSet& set) {
    const RenderTarget& target = set.main_target;
    const size_t bytes = static_cast<size_t>(target.width) * target.height * kBytesPerPixel;
    unsigned char* bottom_up = static_cast<unsigned char*>(malloc(bytes));
    unsigned char* top_down = static_cast<unsigned char*>(malloc(bytes));
    if (bottom_up && top_down) {
        glGetTextureImage(target.colour_texture, 0, GL_RGBA, GL_UNSIGNED_BYTE, static_cast<GLsizei>(bytes), bottom_up);
        flip_rows_opaque(bottom_up, top_down, target.width, target.height);
    } else {
        log_message("lumenfold-render: no memory for a %dx%d picture", target.width, target.height);
        free(top_down);
        top_down = nullptr;
    }
    free(bottom_up);
    return top_down;
}

static bool gl_reported_no_error() {
    const GLenum error = glGetError();
    if (error == GL_NO_ERROR) return true;
    log_message("lumenfold-render: the GL reported %s while rendering", gl_enum_name(error));
    return false;
}

// The picture of the last frame, or null after logging why there is none.
static unsigned char* render_picture(const RenderArguments& arguments, RenderStats* stats) {
    if (!main_file_readable(arguments.pass_set_path)) return nullptr;
    if (!size_fits_the_gl(arguments.width, arguments.height)) return nullptr;
    // Context creation can leave an error behind that is not the render's.
    while (glGetError() != GL_NO_ERROR) {
    }
    PlayingSet set;
    create_offscreen_set(&set, arguments.width, arguments.height, arguments.stats);
    unsigned char* picture = nullptr;
    if (install_whole_pass_set(&set, arguments.pass_set_path) && targets_allocated_for(set, arguments)) {
        render_frames(&set, arguments);
        take_stats(set, stats);
        picture = read_main_picture(set);
    }
    destroy_playing_set(&set);
    destroy_render_resources();
    if (picture && gl_reported_no_error()) return picture;
    free(picture);
    return nullptr;
}

static void append_png_bytes(void* context, void* data, int size) {
    EncodedPng* png = static_cast<EncodedPng*>(context);
    unsigned char* grown = static_cast<unsigned char*>(realloc(png->bytes, png->size + static_cast<size_t>(size)));
    if (!grown) {
        png->out_of_memory = true;
        return;
    }
    memcpy(grown + png->size, data, static_cast<size_t>(size));
    png->bytes = grown;
    png->size += static_cast<size_t>(size);
}

// The whole file is encoded before it is opened, so a failure leaves none.
static bool encode_png(const unsigned char* picture, int width, int height, EncodedPng* png) {
    const int stride = width * kBytesPerPixel;
    if (stbi_write_png_to_func(append_png_bytes, png, width, height, kBytesPerPixel, picture, stride) &&
        !png->out_of_memory) {
        return true;
    }
    log_message("lumenfold-render: the PNG could not be encoded");
    return false;
}

static bool write_file(const char* path, const EncodedPng& png) {
    FILE* file = open_file(path, "wb");
    if (!file) {
        log_message("lumenfold-render: cannot write %s: %s", outside_text(path).text, strerror(errno));
        return false;
    }
    const bool written = fwrite(png.bytes, 1, png.size, file) == png.size;
    const bool closed = fclose(file) == 0;
    if (written && closed) return true;
    // A cut file must not pass for a picture.
    remove_file(path);
    log_message("lumenfold-render: writing %s failed", outside_text(path).text);
    return false;
}

bool render_pass_set_to_png(const RenderArguments& arguments, RenderStats* stats) {
    unsigned char* picture = render_picture(arguments, stats);
    if (!picture) return false;
    if (!arguments.output_path) {
        free(picture);
        return true;
    }
    EncodedPng png = {nullptr, 0, false};
    const bool written =
        encode_png(picture, arguments.width, arguments.height, &png) && write_file(arguments.output_path, png);
    free(png.bytes);
    free(picture);
    return written;
}
