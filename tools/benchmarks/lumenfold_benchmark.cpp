// Prints how long the player's core takes on this machine's GL: decoding and
// uploading the built-in images, building pass sets, start-up up to the
// first finished frame, the CPU cost of render_frame and whole frames at two
// sizes, and what render_frame allocates. Figures, not verdicts.
#include <GL/glew.h>

#include <stb_image.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "app/player_sets.h"
#include "base/log.h"
#include "render/builtin_cubemaps.h"
#include "render/builtin_images.h"
#include "render/builtin_volumes.h"
#include "shader/channel_table.h"
#include "render/channel_samplers.h"
#include "render/frame_rendering.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "render/sound_analysis.h"
#include "render/sound_texture.h"
#include "render/texture_loading.h"
#include "shader/builtin_pass_set.h"
#include "shader/pass_set.h"
#include "tests/support/gl_test_context.h"

// Allocations made by our own code: operator new here, and malloc, calloc
// and realloc through the linker's wrapping of the statically linked core.
static std::atomic<long long> allocation_count{0};
static std::atomic<long long> allocated_bytes{0};

extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_calloc(size_t count, size_t size);
extern "C" void* __real_realloc(void* block, size_t size);

extern "C" void* __wrap_malloc(size_t size) {
    ++allocation_count;
    allocated_bytes += static_cast<long long>(size);
    return __real_malloc(size);
}
extern "C" void* __wrap_calloc(size_t count, size_t size) {
    ++allocation_count;
    allocated_bytes += static_cast<long long>(count * size);
    return __real_calloc(count, size);
}
extern "C" void* __wrap_realloc(void* block, size_t size) {
    ++allocation_count;
    allocated_bytes += static_cast<long long>(size);
    return __real_realloc(block, size);
}

void* operator new(size_t size) {
    ++allocation_count;
    allocated_bytes += static_cast<long long>(size);
    void* block = __real_malloc(size ? size : 1);
    if (!block) abort();
    return block;
}
void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }

typedef std::chrono::steady_clock Clock;

static double milliseconds_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of this thread only: llvmpipe rasterizes on worker threads, so
// this leaves out the "GPU" work as far as that driver allows.
static double thread_cpu_milliseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

static void quiet_log(const char*, void*) {}

static const char kTrivialMain[] =
    "void mainImage(out vec4 o, in vec2 p) { o = vec4(p / iResolution.xy, 0.5, 1.0); }\n";

static PassSetSources trivial_sources() {
    PassSetSources sources = {};
    sources.texts[kMainPass] = kTrivialMain;
    return sources;
}

// Decoding twice in a row varies by more than some uploads take, so each
// figure is the best of a few runs and the upload is what load_texture
// adds to the decode.
static const int kImageRuns = 3;

static double best_decode_milliseconds(const BuiltinImage& image, int* width, int* height) {
    double best = 1e30;
    for (int run = 0; run < kImageRuns; ++run) {
        const Clock::time_point start = Clock::now();
        int components = 0;
        stbi_set_flip_vertically_on_load(1);
        stbi_uc* pixels =
            stbi_load_from_memory(image.bytes, static_cast<int>(image.size), width, height, &components, 4);
        best = std::min(best, milliseconds_since(start));
        stbi_image_free(pixels);
    }
    return best;
}

static double best_load_texture_milliseconds(const BuiltinImage& image) {
    double best = 1e30;
    for (int run = 0; run < kImageRuns; ++run) {
        GLuint texture = 0;
        glCreateTextures(GL_TEXTURE_2D, 1, &texture);
        glFinish();
        const Clock::time_point start = Clock::now();
        load_texture(texture, image.bytes, static_cast<int32_t>(image.size));
        glFinish();
        best = std::min(best, milliseconds_since(start));
        glDeleteTextures(1, &texture);
    }
    return best;
}

static void report_image_loading() {
    printf("\n== built-in images: decode, upload with mipmaps (GPU finished, best of %d)\n", kImageRuns);
    double decode_total = 0.0, load_total = 0.0;
    for (const BuiltinImage& image : BuiltinImages) {
        int width = 0, height = 0;
        const double decode = best_decode_milliseconds(image, &width, &height);
        const double load = best_load_texture_milliseconds(image);
        printf("  %-16s %4dx%-4d decode %7.2f ms, load_texture %7.2f ms (upload+mipmaps %7.2f ms)\n", image.name, width,
               height, decode, load, load - decode);
        decode_total += decode;
        load_total += load;
    }
    printf("  all twenty: decode %.1f ms, load_texture %.1f ms (upload+mipmaps %.1f ms)\n", decode_total, load_total,
           load_total - decode_total);
}

// Each volume and cubemap as the first set that names one makes it, GPU
// finished; the bytes count every mipmap level.
static void report_volumes_and_cubemaps() {
    printf("\n== built-in volumes and cubemaps: made on first naming (GPU finished)\n");
    double total_ms = 0.0;
    uint64_t total_bytes = 0;
    for (int entry = kFirstVolumeEntry; entry < kFirstCubemapEntry + kBuiltinCubemapCount; ++entry) {
        glFinish();
        const Clock::time_point start = Clock::now();
        const GLuint texture = channel_table_texture(entry);
        glFinish();
        const double elapsed = milliseconds_since(start);
        const bool volume = ChannelTable[entry].target == GL_TEXTURE_3D;
        const int texel_bytes = entry == kFirstVolumeEntry ? 1 : 4;
        uint64_t bytes = 0;
        if (volume) bytes = static_cast<uint64_t>(kBuiltinVolumeSize) * kBuiltinVolumeSize * kBuiltinVolumeSize * texel_bytes;
        for (int side = kBuiltinCubemapFaceSize; !volume && side >= 2; side /= 2) {
            bytes += static_cast<uint64_t>(side) * side * 6 * texel_bytes;
        }
        printf("  %-18s %s %8.2f ms, %8llu bytes\n", ChannelTable[entry].name, texture ? "made" : "FAILED", elapsed,
               static_cast<unsigned long long>(bytes));
        total_ms += elapsed;
        total_bytes += bytes;
    }
    printf("  all five %.1f ms, %llu bytes; at start-up, and for a set that names none: 0 ms, 0 bytes\n", total_ms,
           static_cast<unsigned long long>(total_bytes));
}

static void report_pass_set_build(const char* label, const PassSetSources& sources) {
    const Clock::time_point start = Clock::now();
    const PassSetResult result = build_pass_set(sources);
    glFinish();
    const double elapsed = milliseconds_since(start);
    int built = 0;
    for (GLuint program : result.programs) {
        if (program) ++built;
        glDeleteProgram(program);
    }
    printf("  %-22s %d program(s) in %8.1f ms\n", label, built, elapsed);
}

struct FrameFigures {
    double call_ms;   // wall time of render_frame alone, GPU idle when it starts
    double cpu_ms;    // this thread's CPU time inside render_frame
    double frame_ms;  // render_frame and glFinish
    long long allocations;
    long long bytes;
};

static PlayingSet bench_set;

static FrameFigures measure_frames(int frames) {
    std::vector<double> call, cpu, whole;
    long long allocations = 0, bytes = 0;
    for (int frame = 0; frame < frames; ++frame) {
        glFinish();
        const long long count_before = allocation_count, bytes_before = allocated_bytes;
        const double cpu_before = thread_cpu_milliseconds();
        const Clock::time_point start = Clock::now();
        render_frame(&bench_set);
        const double call_ms = milliseconds_since(start);
        const double cpu_ms = thread_cpu_milliseconds() - cpu_before;
        allocations += allocation_count - count_before;
        bytes += allocated_bytes - bytes_before;
        call.push_back(call_ms);
        cpu.push_back(cpu_ms);
        glFinish();
        whole.push_back(milliseconds_since(start));
    }
    for (std::vector<double>* figures : {&call, &cpu, &whole}) std::sort(figures->begin(), figures->end());
    return FrameFigures{call[call.size() / 2], cpu[cpu.size() / 2], whole[whole.size() / 2], allocations / frames,
                        bytes / frames};
}

// Frames one after the other, as the player draws them: what a frame waits
// for of the frame before shows as call time without thread CPU.
static FrameFigures measure_frames_back_to_back(int frames) {
    std::vector<double> call, cpu;
    glFinish();
    for (int frame = 0; frame < frames; ++frame) {
        const double cpu_before = thread_cpu_milliseconds();
        const Clock::time_point start = Clock::now();
        render_frame(&bench_set);
        call.push_back(milliseconds_since(start));
        cpu.push_back(thread_cpu_milliseconds() - cpu_before);
    }
    glFinish();
    std::sort(call.begin(), call.end());
    std::sort(cpu.begin(), cpu.end());
    return FrameFigures{call[call.size() / 2], cpu[cpu.size() / 2], 0.0, 0, 0};
}

static void resize_to(int width, int height) {
    request_target_resize(&bench_set, width, height);
    render_frame(&bench_set);  // carries the resize out
    glFinish();
}

static void install_benchmark_set(bool builtin) {
    if (builtin) {
        install_pass_set(&bench_set, nullptr);
        return;
    }
    // Installs read files; the trivial set is built from its text.
    const PassSetResult result = build_pass_set(trivial_sources());
    uninstall_pass_set(&bench_set);
    bench_set.programs[kMainPass] = result.programs[kMainPass];
    for (bool& drawn : bench_set.size.buffer_drawn) drawn = false;
    recreate_render_targets(&bench_set);
}

static void report_frames(const char* label, bool builtin, int width, int height, int frames) {
    resize_to(width, height);
    install_benchmark_set(builtin);
    render_frame(&bench_set);  // warm-up: first use of each program
    glFinish();
    const FrameFigures figures = measure_frames(frames);
    printf(
        "  %-9s %4dx%-4d render_frame: call %9.3f ms, thread CPU %8.3f ms; whole frame %9.2f ms; "
        "%lld allocations, %lld bytes per frame\n",
        label, width, height, figures.call_ms, figures.cpu_ms, figures.frame_ms, figures.allocations, figures.bytes);
    const FrameFigures running = measure_frames_back_to_back(frames);
    printf("  %-9s %4dx%-4d back to back: call %9.3f ms, thread CPU %8.3f ms\n", label, width, height,
           running.call_ms, running.cpu_ms);
}

// What the render targets take per window pixel with a set installed: the
// buffer targets it draws, their scratch copies and Main's own target.
static void report_target_storage(const char* label, bool builtin) {
    install_benchmark_set(builtin);
    const RenderSize& size = bench_set.size;
    const double pixels = static_cast<double>(size.window_width) * size.window_height;
    const double bytes = static_cast<double>(render_target_bytes(bench_set));
    printf("  %-9s at %3d %%: %7.2f bytes per window pixel (%.1f MB at 3840x2160)\n", label, size.scale_percent,
           bytes / pixels, bytes / pixels * 3840.0 * 2160.0 / 1e6);
}

static const char kTrivialCube[] =
    "void mainCubemap(out vec4 o, in vec2 p, in vec3 ro, in vec3 rd) { o = vec4(rd * 0.5 + 0.5, 1.0); }\n";

// What a trivial cube pass adds to the trivial set's frame (GPU finished,
// median of 5) and what its cube takes, at a render scale.
static void report_cube_pass(int scale_percent) {
    set_render_scale(&bench_set, scale_percent);
    resize_to(320, 180);
    install_benchmark_set(false);
    render_frame(&bench_set);
    const double without = measure_frames(5).frame_ms;
    PassSetSources sources = trivial_sources();
    sources.texts[kCubeAPass] = kTrivialCube;
    const PassSetResult result = build_pass_set(sources);
    uninstall_pass_set(&bench_set);
    bench_set.programs[kMainPass] = result.programs[kMainPass];
    bench_set.programs[kCubeAPass] = result.programs[kCubeAPass];
    bench_set.size.cube_drawn = true;
    recreate_render_targets(&bench_set);
    render_frame(&bench_set);  // warm-up
    const double with_cube = measure_frames(5).frame_ms;
    printf("  %4d per face (%3d %%): frame %8.2f ms, %8.2f ms without it: the cube %8.2f ms; its storage %llu bytes\n",
           bench_set.cube_target.size, scale_percent, with_cube, without, with_cube - without,
           static_cast<unsigned long long>(cube_target_bytes(bench_set.cube_target)));
    bench_set.size.cube_drawn = false;
    install_benchmark_set(false);
    set_render_scale(&bench_set, kFullRenderScale);
}

static void report_cube_passes() {
    printf("\n== a trivial cube pass beside a trivial Main at 320x180\n");
    report_cube_pass(kFullRenderScale);
    report_cube_pass(50);
}

// The player's sets on a desk of monitors with the same pixels in all: one
// 640 x 180 monitor against two of 320 x 180 side by side.
static const MonitorRect kOneMonitor[] = {{0, 0, 640, 180, true}};
static const MonitorRect kTwoMonitors[] = {{0, 0, 320, 180, true}, {320, 0, 320, 180, false}};
static const char* const kMonitorNames[] = {"first", "second"};

static void report_desk(const char* label, MonitorLayout layout, const MonitorRect* monitors, int count) {
    destroy_player_sets();
    resize_player_sets(640, 180);
    create_player_sets();
    install_on_every_set(nullptr, InstallRule::MainMustBuild);
    const MonitorRect window = {0, 0, 640, 180, true};
    arrange_player_sets(plan_pictures(layout, monitors, count, window), kMonitorNames, nullptr, nullptr);
    draw_player_sets();  // warm-up: first use of each program
    glFinish();
    std::vector<double> wall, cpu_times;
    for (int frame = 0; frame < 5; ++frame) {
        const double cpu_before = thread_cpu_milliseconds();
        const Clock::time_point start = Clock::now();
        draw_player_sets();
        glFinish();
        wall.push_back(milliseconds_since(start));
        cpu_times.push_back(thread_cpu_milliseconds() - cpu_before);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu_times.begin(), cpu_times.end());
    const double ms = wall[wall.size() / 2];
    const double cpu = cpu_times[cpu_times.size() / 2];
    uint64_t bytes = 0;
    for (int index = 0; index < player_set_count(); ++index) bytes += render_target_bytes(player_set(index));
    printf("  %-22s %d set(s): %8.1f ms per frame (%5.2f fps), thread CPU %6.2f ms, targets %llu bytes (%llu per monitor)\n",
           label, player_set_count(), ms, 1000.0 / ms, cpu, (unsigned long long)bytes,
           (unsigned long long)(bytes / static_cast<uint64_t>(count)));
}

static void report_desks() {
    report_desk("one monitor", MonitorLayout::Each, kOneMonitor, 1);
    report_desk("two, each", MonitorLayout::Each, kTwoMonitors, 2);
    report_desk("two, span", MonitorLayout::Span, kTwoMonitors, 2);
    report_desk("two, duplicate", MonitorLayout::Duplicate, kTwoMonitors, 2);
    destroy_player_sets();
}

static uint64_t playing_target_bytes() {
    uint64_t bytes = 0;
    for (int index = 0; index < playing_record_count(); ++index) bytes += render_target_bytes(*playing_record(index));
    return bytes;
}

// Median wall time of frames drawn while `going_on` holds, up to `most`.
static double median_frame_ms(int most, bool (*going_on)()) {
    std::vector<double> wall;
    while (static_cast<int>(wall.size()) < most && going_on()) {
        const Clock::time_point start = Clock::now();
        draw_player_sets();
        glFinish();
        wall.push_back(milliseconds_since(start));
    }
    if (wall.empty()) return 0.0;
    std::sort(wall.begin(), wall.end());
    return wall[wall.size() / 2];
}

static bool always() { return true; }

// A playlist's turn on one 640 x 180 monitor: a set fading into the same
// set, against the frames outside a fade. The fade is long enough to
// measure, then cut short, which frees the old record as its end does.
static void report_fade(const char* label, const char* path) {
    destroy_player_sets();
    resize_player_sets(640, 180);
    create_player_sets();
    install_on_every_set(path, InstallRule::MainMustBuild);
    draw_player_sets();
    const double outside_ms = median_frame_ms(5, always);
    const uint64_t outside_bytes = playing_target_bytes();
    fade_player_set(0, path, 3600.0);
    draw_player_sets();  // warm-up of the blend
    const double during_ms = median_frame_ms(5, always);
    const uint64_t during_bytes = playing_target_bytes();
    install_on_every_set(path, InstallRule::MainMustBuild);
    draw_player_sets();
    printf("  %-9s outside a fade %8.1f ms per frame, during it %8.1f ms; targets %llu bytes during, %llu after "
           "(%llu before)\n",
           label, outside_ms, during_ms, (unsigned long long)during_bytes, (unsigned long long)playing_target_bytes(),
           (unsigned long long)outside_bytes);
    destroy_player_sets();
}

static void report_fades() {
    const char* trivial_path = "/tmp/lumenfold-benchmark-trivial.glsl";
    FILE* file = fopen(trivial_path, "w");
    if (file) {
        fputs(kTrivialMain, file);
        fclose(file);
    }
    report_fade("trivial", trivial_path);
    report_fade("built-in", nullptr);
    remove(trivial_path);
}

// filter=mipmap on a buffer: the copy of its picture and the mipmaps made
// after each draw of it, GPU finished, median of a few.
static void report_buffer_mipmaps(int width, int height) {
    resize_to(width, height);
    for (int index = 0; index < kRenderTargetCount; ++index) bench_set.size.buffer_drawn[index] = index == 0;
    recreate_render_targets(&bench_set);
    ChannelSampling sampling[kChannelBindingCount] = {};
    sampling[0].filter = ChannelFilter::Mipmap;
    bench_set.channels[0] = bench_set.targets[0].colour_texture;
    use_channel_sampling(&bench_set, sampling);
    bind_channel_units(&bench_set);
    std::vector<double> runs;
    for (int run = 0; run < 7; ++run) {
        glFinish();
        const Clock::time_point start = Clock::now();
        refresh_buffer_mipmaps(&bench_set, 0);
        glFinish();
        runs.push_back(milliseconds_since(start));
    }
    std::sort(runs.begin(), runs.end());
    printf("  %4dx%-4d copy and mipmaps %8.2f ms per draw of the buffer\n", width, height, runs[runs.size() / 2]);
    const ChannelSampling none[kChannelBindingCount] = {};
    use_channel_sampling(&bench_set, none);
    bind_channel_units(&bench_set);
}

// The Sound channel at 60 fps: each frame brings 800 stereo samples of 48 kHz,
// analysed and uploaded; CPU time of this thread for 60 frames, the median
// of five such seconds, with the analysis alone beside it.
static void report_sound_analysis() {
    static const int kFrames = 60;
    static const int kFramesOfSamples = 48000 / kFrames;
    std::vector<float> samples(2 * kFramesOfSamples);
    for (size_t index = 0; index < samples.size(); ++index) samples[index] = 0.3f * ((index * 37) % 200 / 100.0f - 1.0f);
    static SoundRing ring;
    static SoundAnalysis analysis;
    unsigned char image[kSoundImageBytes];
    std::vector<double> filled;
    std::vector<double> analysed;
    for (int second = 0; second < 5; ++second) {
        double start = thread_cpu_milliseconds();
        for (int frame = 0; frame < kFrames; ++frame) {
            push_sound_samples(samples.data(), kFramesOfSamples, 2, 48000);
            fill_sound_texture();
        }
        glFinish();
        filled.push_back(thread_cpu_milliseconds() - start);
        start = thread_cpu_milliseconds();
        for (int frame = 0; frame < kFrames; ++frame) {
            push_to_sound_ring(&ring, samples.data(), kFramesOfSamples, 2, 48000);
            analyse_sound(&analysis, ring, image);
        }
        analysed.push_back(thread_cpu_milliseconds() - start);
    }
    silence_sound();
    std::sort(filled.begin(), filled.end());
    std::sort(analysed.begin(), analysed.end());
    printf("  FFT, smoothing and texture fill %8.2f ms of CPU per second (%.1f us per frame)\n", filled[2],
           filled[2] * 1000.0 / kFrames);
    printf("  of which the analysis alone     %8.2f ms of CPU per second\n", analysed[2]);
}

static void report_frames_alone() {
    create_render_resources();
    create_playing_set(&bench_set, 1280, 720, kFullRenderScale);
    start_frame_clock(&bench_set.clock);
    printf("\n== frames (median)\n");
    report_frames("trivial", false, 320, 180, 20);
    report_frames("built-in", true, 320, 180, 5);
    destroy_playing_set(&bench_set);
    destroy_render_resources();
}

// "fades": the crossfade's figures alone; "frames": the small frames; "sound":
// the Sound channel's; "volumes": the volumes' and cubemaps'; "cube": the
// cube pass's.
int main(int argc, char** argv) {
    const bool fades_only = argc > 1 && strcmp(argv[1], "fades") == 0;
    const bool volumes_only = argc > 1 && strcmp(argv[1], "volumes") == 0;
    const bool sound_only = argc > 1 && strcmp(argv[1], "sound") == 0;
    set_log_observer(quiet_log, nullptr);
    // The log goes to standard error; the figures to standard output.
    if (!freopen("/dev/null", "w", stderr)) return 1;

    Clock::time_point start = Clock::now();
    if (!open_test_gl_context(1280, 720)) {
        printf("no GL 4.5 core context\n");
        return 1;
    }
    const double context_ms = milliseconds_since(start);
    printf("GL: %s / %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));

    if (volumes_only) {
        create_render_resources();
        report_volumes_and_cubemaps();
        destroy_render_resources();
        close_test_gl_context();
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "frames") == 0) {
        report_frames_alone();
        close_test_gl_context();
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "cube") == 0) {
        create_render_resources();
        create_playing_set(&bench_set, 1280, 720, kFullRenderScale);
        report_cube_passes();
        destroy_playing_set(&bench_set);
        destroy_render_resources();
        close_test_gl_context();
        return 0;
    }
    if (fades_only) {
        create_render_resources();
        printf("\n== a playlist's crossfade at 640x180, a set into itself (median of 5 frames)\n");
        report_fades();
        destroy_render_resources();
        close_test_gl_context();
        return 0;
    }
    if (sound_only) {
        create_render_resources();
        printf("\n== the Sound channel at 60 fps, 48 kHz stereo (median of 5 seconds)\n");
        report_sound_analysis();
        destroy_render_resources();
        close_test_gl_context();
        return 0;
    }
    report_image_loading();

    printf("\n== pass set builds (compile, link, interface report)\n");
    start = Clock::now();
    create_render_resources();
    create_playing_set(&bench_set, 1280, 720, kFullRenderScale);
    const double resources_ms = milliseconds_since(start);
    report_pass_set_build("built-in (five passes)", builtin_pass_set_sources());
    report_pass_set_build("trivial (Main only)", trivial_sources());

    printf("\n== start-up phases up to the first finished frame (1280x720)\n");
    start = Clock::now();
    install_pass_set(&bench_set, nullptr);
    const double install_ms = milliseconds_since(start);
    start_frame_clock(&bench_set.clock);
    start = Clock::now();
    render_frame(&bench_set);
    glFinish();
    const double first_frame_ms = milliseconds_since(start);
    printf(
        "  GL context %8.1f ms\n  render resources (no image decoded) %8.1f ms\n"
        "  built-in install (decoding the %d images it reads) %8.1f ms\n"
        "  first frame %8.1f ms\n  (the player also waits up to 2 s for Explorer's workers before its context)\n",
        context_ms, resources_ms, decoded_image_count(), install_ms, first_frame_ms);

    printf("\n== render target storage at 1280x720 (before: 96 bytes per pixel for any set, at any scale)\n");
    resize_to(1280, 720);
    report_target_storage("built-in", true);
    report_target_storage("trivial", false);
    set_render_scale(&bench_set, 50);
    report_target_storage("built-in", true);
    set_render_scale(&bench_set, kFullRenderScale);

    printf("\n== frames (median)\n");
    report_frames("trivial", false, 320, 180, 20);
    report_frames("trivial", false, 1280, 720, 10);
    report_frames("built-in", true, 320, 180, 5);
    report_frames("built-in", true, 1280, 720, 3);

    report_cube_passes();

    printf("\n== a buffer read with filter=mipmap (RGBA32F)\n");
    report_buffer_mipmaps(320, 180);
    report_buffer_mipmaps(1280, 720);

    printf("\n== the built-in set on a desk of monitors, 640x180 pixels in all (median of 5 frames)\n");
    report_desks();

    printf("\n== a playlist's crossfade at 640x180, a set into itself (median of 5 frames)\n");
    report_fades();

    report_volumes_and_cubemaps();
    printf("\n== the Sound channel at 60 fps, 48 kHz stereo (median of 5 seconds)\n");
    report_sound_analysis();

    destroy_playing_set(&bench_set);
    destroy_render_resources();
    close_test_gl_context();
    return 0;
}
