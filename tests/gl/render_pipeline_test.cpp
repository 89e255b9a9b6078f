// The render pipeline on a real context: probe pass sets write what they
// see into the RGBA32F buffer targets, which are read back exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gl/gl_diagnostics.h"
#include "app/player_sets.h"
#include "render/frame_rendering.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "render/target_allocation.h"
#include "shader/channel_table.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

static const int kWidth = 16;
static const int kHeight = 8;

// Writes one uniform per column of BufferA.
static const char kUniformProbe[] =
    "#pragma iChannel0 bayer.png\n"
    "#pragma iChannel1 BufferB\n"
    "#pragma iChannel3 Keyboard\n"
    "void mainImage(out vec4 o, in vec2 p) {\n"
    "    int x = int(p.x);\n"
    "    o = vec4(0.0);\n"
    "    if (x == 0) o = vec4(iResolution, 7.0);\n"
    "    if (x == 1) o = vec4(float(iFrame), iTime, iTimeDelta, iFrameRate);\n"
    "    if (x == 2) o = iMouse;\n"
    "    if (x == 3) o = iDate;\n"
    "    if (x == 4) o = vec4(iChannelTime[0], iChannelTime[1], iChannelTime[2], iChannelTime[3]);\n"
    "    if (x == 5) o = vec4(iSampleRate, 0.0, 0.0, 0.0);\n"
    "    if (x >= 6 && x <= 9) o = vec4(iChannelResolution[x - 6], 9.0);\n"
    "}\n";

static const char kPlainMain[] = "void mainImage(out vec4 o, in vec2 p) { o = vec4(0.2, 0.4, 0.6, 1.0); }\n";
// Draws into its buffer, so that buffer takes storage of the render size.
static const char kBlankPass[] = "void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0); }\n";

struct Texel {
    float r, g, b, a;
};

// Every framebuffer bind is followed by the draw into it: at the bind the GL
// state shows what that draw samples and where it writes. A pass that
// samples the texture it draws into is a feedback loop, undefined in GL even
// where a driver happens to give the old texels.
static PFNGLBINDFRAMEBUFFERPROC real_bind_framebuffer = nullptr;
static int checked_draws = 0;
static std::vector<std::string> feedback_loops;

static void GLAPIENTRY bind_framebuffer_checking_feedback(GLenum target, GLuint framebuffer) {
    real_bind_framebuffer(target, framebuffer);
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (framebuffer == 0 || program == 0) return;
    GLint drawn = 0;
    glGetNamedFramebufferAttachmentParameteriv(framebuffer, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                               &drawn);
    ++checked_draws;
    for (int channel = 0; channel < kChannelsPerPass; ++channel) {
        const std::string sampler = "iChannel" + std::to_string(channel);
        const GLint location = glGetUniformLocation(static_cast<GLuint>(program), sampler.c_str());
        if (location < 0) continue;
        GLint unit = 0;
        glGetUniformiv(static_cast<GLuint>(program), location, &unit);
        GLint sampled = 0;
        glGetIntegeri_v(GL_TEXTURE_BINDING_2D, static_cast<GLuint>(unit), &sampled);
        if (sampled == drawn) {
            feedback_loops.push_back("program " + std::to_string(program) + " samples texture " +
                                     std::to_string(drawn) + " through " + sampler + " while drawing into it");
        }
    }
}

class RenderPipeline : public GlTest {
  protected:
    void SetUp() override {
        set_fake_time_milliseconds(5000);
        set_fake_counter(1000, 1000);
        set_fake_cursor(0.0, 0.0);
        create_render_resources();
        create_playing_set(&set, kWidth, kHeight, kFullRenderScale);
        // As in the player: every driver message lands in the log, so a
        // test that finds no "GL:" line has seen no GL error.
        enable_gl_debug_output(1);
        real_bind_framebuffer = glBindFramebuffer;
        glBindFramebuffer = bind_framebuffer_checking_feedback;
        checked_draws = 0;
        feedback_loops.clear();
    }

    void TearDown() override {
        glBindFramebuffer = real_bind_framebuffer;
        for (const std::string& loop : feedback_loops) ADD_FAILURE() << loop;
        glDisable(GL_DEBUG_OUTPUT);
        glDebugMessageCallback(nullptr, nullptr);
        destroy_playing_set(&set);
        destroy_render_resources();
    }

    // Writes the pass files and installs them; empty texts are left out.
    std::string install(const std::string& main_text, const std::string& a = "", const std::string& b = "",
                        const std::string& c = "", const std::string& d = "") {
        const std::string path = folder.write("set.glsl", main_text);
        const char* suffixes[] = {"a", "b", "c", "d"};
        const std::string* texts[] = {&a, &b, &c, &d};
        for (int index = 0; index < 4; ++index) {
            const std::string name = std::string("set.") + suffixes[index] + ".glsl";
            if (!texts[index]->empty()) folder.write(name, *texts[index]);
        }
        install_pass_set(&set, path.c_str());
        return path;
    }

    // One frame, with the counter one frame interval (20 ms) later.
    void frame() {
        counter += 20;
        set_fake_counter(counter, 1000);
        render_frame(&set);
    }

    GLuint buffer_texture(int buffer) const { return set.targets[buffer].colour_texture; }

    Texel texel(int buffer, int x, int y) const { return texel_of(set, buffer, x, y); }

    static Texel texel_of(const PlayingSet& of, int buffer, int x, int y) {
        const GLuint texture = of.targets[buffer].colour_texture;
        GLint width = 0, height = 0;
        glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_WIDTH, &width);
        glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_HEIGHT, &height);
        if (x >= width || y >= height) {
            ADD_FAILURE() << "texel " << x << "," << y << " outside buffer " << buffer << " of " << width << "x" << height;
            return Texel{-1.0f, -1.0f, -1.0f, -1.0f};
        }
        std::vector<float> pixels(static_cast<size_t>(width) * height * 4);
        glGetTextureImage(texture, 0, GL_RGBA, GL_FLOAT, static_cast<GLsizei>(pixels.size() * sizeof(float)),
                          pixels.data());
        const float* at = &pixels[(static_cast<size_t>(y) * width + x) * 4];
        return Texel{at[0], at[1], at[2], at[3]};
    }

    static GLuint texture_on_unit(int unit) {
        GLint texture = 0;
        glGetIntegeri_v(GL_TEXTURE_BINDING_2D, static_cast<GLuint>(unit), &texture);
        return static_cast<GLuint>(texture);
    }

    PlayingSet set;
    int64_t counter = 1000;
    TempFolder folder{"lumenfold-render"};
    RecordingLog log;
};

static std::string with_directive(const char* directive, const char* body) {
    return std::string(directive) + "\nvoid mainImage(out vec4 o, in vec2 p) { " + body + " }\n";
}

TEST_F(RenderPipeline, EveryUniformReachesItsPlaceInTheBlock) {
    install(kPlainMain, kUniformProbe);
    counter += 2500 - 20;  // the frame adds its own 20 ms
    set_fake_counter(counter, 1000);
    set.clock.previous_counter = counter;  // that frame's interval is 20 ms all the same
    set_fake_cursor(3.0, 2.0);
    set_fake_date(LocalDateTime{2027, 0, 1, 0, 0, 0, 500});
    frame();

    const Texel resolution = texel(0, 0, 0);
    EXPECT_EQ(resolution.r, kWidth);
    EXPECT_EQ(resolution.g, kHeight);
    EXPECT_EQ(resolution.b, 1.0f);

    const Texel timing = texel(0, 1, 0);
    EXPECT_EQ(timing.r, 0.0f) << "iFrame of the first frame after an install";
    EXPECT_FLOAT_EQ(timing.g, 2.5f) << "iTime";
    EXPECT_FLOAT_EQ(timing.b, 0.02f) << "iTimeDelta";
    EXPECT_FLOAT_EQ(timing.a, 50.0f) << "iFrameRate";

    const Texel mouse = texel(0, 2, 0);
    EXPECT_EQ(mouse.r, 3.0f);
    EXPECT_EQ(mouse.g, kHeight - 2.0f) << "y counts up from the bottom edge";
    EXPECT_EQ(mouse.b, 0.0f);
    EXPECT_TRUE(std::signbit(mouse.b)) << "z is -0.0: no button is ever pressed";
    EXPECT_EQ(mouse.a, 0.0f);
    EXPECT_FALSE(std::signbit(mouse.a));

    const Texel date = texel(0, 3, 0);
    EXPECT_EQ(date.r, 2027.0f);
    EXPECT_EQ(date.g, 0.0f) << "January is month 0";
    EXPECT_EQ(date.b, 1.0f);
    EXPECT_FLOAT_EQ(date.a, 0.5f);

    const Texel channel_time = texel(0, 4, 0);
    for (float value : {channel_time.r, channel_time.g, channel_time.b, channel_time.a}) EXPECT_FLOAT_EQ(value, 2.5f);
    EXPECT_EQ(texel(0, 5, 0).r, 48000.0f);
}

TEST_F(RenderPipeline, ChannelResolutionsAreThoseOfTheTexturesOnThePassUnits) {
    install(kPlainMain, kUniformProbe, kBlankPass);
    frame();
    const Texel bayer = texel(0, 6, 0);
    EXPECT_EQ(bayer.r, 8.0f);
    EXPECT_EQ(bayer.g, 8.0f);
    EXPECT_EQ(bayer.b, 1.0f);
    const Texel buffer_b = texel(0, 7, 0);
    EXPECT_EQ(buffer_b.r, kWidth);
    EXPECT_EQ(buffer_b.g, kHeight);
    const Texel default_noise = texel(0, 8, 0);
    EXPECT_EQ(default_noise.r, 256.0f);
    const Texel keyboard = texel(0, 9, 0);
    EXPECT_EQ(keyboard.r, 256.0f);
    EXPECT_EQ(keyboard.g, 4.0f);
}

TEST_F(RenderPipeline, FrameCountAndTimeRestartWithEveryInstall) {
    const std::string path = install(kPlainMain, kUniformProbe);
    for (int n = 1; n <= 3; ++n) {
        frame();
        EXPECT_EQ(texel(0, 1, 0).r, n - 1.0f) << "the n-th frame has iFrame n - 1";
    }
    install_pass_set(&set, path.c_str());
    EXPECT_EQ(texel(0, 1, 0).r, 0.0f) << "buffers are cleared by an install";
    counter += 230;
    frame();
    EXPECT_EQ(texel(0, 1, 0).r, 0.0f);
    EXPECT_FLOAT_EQ(texel(0, 1, 0).g, 0.25f);
}

TEST_F(RenderPipeline, TimeKeepsGrowingPastTheMillisecondCounterWrap) {
    set_fake_time_milliseconds(0xFFFFFC18u);  // one second before the wrap
    install(kPlainMain, kUniformProbe);
    set_fake_time_milliseconds(1500u);
    counter += 50LL * 86400 * 1000 - 20;  // 50 days, past 2^32 ms
    frame();
    EXPECT_FLOAT_EQ(texel(0, 1, 0).g, 4320000.0f);
}

TEST_F(RenderPipeline, ChannelsSitOnUnitFourTimesPassPlusChannelWithTheDefaultOnEmptyOnes) {
    install(with_directive("#pragma iChannel2 wood.jpg", "o = texture(iChannel2, p);"), kUniformProbe);
    frame();
    EXPECT_EQ(texture_on_unit(2), ChannelTable[19].texture);
    EXPECT_EQ(texture_on_unit(4), ChannelTable[6].texture);
    EXPECT_EQ(texture_on_unit(5), buffer_texture(1));
    EXPECT_EQ(texture_on_unit(7), RenderResources.keyboard_texture);
    const GLuint noise = RenderResources.image_textures[0];
    for (int unit : {0, 1, 3, 6, 8, 12, 16, 19}) EXPECT_EQ(texture_on_unit(unit), noise) << unit;
}

static int stored_width(GLuint texture) {
    GLint width = 0;
    glGetTextureLevelParameteriv(texture, 0, GL_TEXTURE_WIDTH, &width);
    return width;
}

TEST_F(RenderPipeline, AnImageIsDecodedWhenASetFirstReadsItAndKeptForEveryLaterSet) {
    install(kPlainMain, "", with_directive("#pragma iChannel0 BufferA", "o = texture(iChannel0, p);"));
    EXPECT_EQ(decoded_image_count(), 0) << "a set reading no image decodes none";

    const std::string organic = install(with_directive("#pragma iChannel1 organic1.jpg", "o = texture(iChannel1, p);"));
    EXPECT_EQ(decoded_image_count(), 1);
    EXPECT_EQ(stored_width(ChannelTable[11].texture), 1024) << "organic1.jpg";
    EXPECT_EQ(stored_width(ChannelTable[19].texture), 0) << "wood.jpg, named by no set";
    EXPECT_EQ(stored_width(default_channel_texture()), 0) << "no pass samples an undirected channel";

    install_pass_set(&set, organic.c_str());
    PlayingSet other_monitor;
    create_playing_set(&other_monitor, kWidth, kHeight, kFullRenderScale);
    install_pass_set(&other_monitor, organic.c_str());
    destroy_playing_set(&other_monitor);
    EXPECT_EQ(decoded_image_count(), 1) << "a reload and another monitor's set decode nothing new";

    install(with_directive("", "o = texture(iChannel3, p);"));
    EXPECT_EQ(decoded_image_count(), 2) << "a sampled channel without a directive reads the default image";
    EXPECT_EQ(stored_width(default_channel_texture()), 256);
    EXPECT_EQ(log.find_prefix("load_texture"), -1) << log.joined();
}

TEST_F(RenderPipeline, EarlierBuffersAreReadFromThisFrameLaterOnesFromTheLast) {
    install(kPlainMain, "void mainImage(out vec4 o, in vec2 p) { o = vec4(float(iFrame) + 1.0); }\n",
            with_directive("#pragma iChannel0 BufferA", "o = texelFetch(iChannel0, ivec2(p), 0);"),
            with_directive("#pragma iChannel0 BufferD", "o = texelFetch(iChannel0, ivec2(p), 0);"),
            with_directive("#pragma iChannel0 BufferA", "o = texelFetch(iChannel0, ivec2(p), 0);"));
    frame();
    EXPECT_EQ(texel(1, 4, 4).r, 1.0f);
    EXPECT_EQ(texel(2, 4, 4).r, 0.0f) << "BufferD after the install was cleared";
    frame();
    frame();
    EXPECT_EQ(texel(0, 4, 4).r, 3.0f);
    EXPECT_EQ(texel(1, 4, 4).r, 3.0f);
    EXPECT_EQ(texel(2, 4, 4).r, 2.0f);
    EXPECT_EQ(texel(3, 4, 4).r, 3.0f);
}

TEST_F(RenderPipeline, AMissingBufferIsSkippedAndReadsAsZero) {
    install(kPlainMain,
            with_directive("#pragma iChannel0 BufferB", "o = texture(iChannel0, p / iResolution.xy) + 0.25;"), "",
            with_directive("", "o = vec4(5.0);"));
    frame();
    frame();
    EXPECT_EQ(texel(0, 1, 1).r, 0.25f);
    EXPECT_EQ(texel(1, 0, 0).r, 0.0f);
    EXPECT_EQ(texel(1, 0, 0).a, 0.0f);
    EXPECT_EQ(texel(2, 1, 1).r, 5.0f);
}

TEST_F(RenderPipeline, KeyboardSamplesZero) {
    install(kPlainMain,
            with_directive("#pragma iChannel0 Keyboard",
                           "o = texelFetch(iChannel0, ivec2(65, 0), 0) + texture(iChannel0, vec2(0.7, 0.4));"));
    frame();
    const Texel keys = texel(0, 2, 2);
    EXPECT_EQ(keys.r, 0.0f);
    EXPECT_EQ(keys.g, 0.0f);
    EXPECT_EQ(keys.b, 0.0f);
}

TEST_F(RenderPipeline, APassThatReadsItselfSeesItsPreviousFrame) {
    install(kPlainMain, with_directive("#pragma iChannel0 BufferA", "o = texelFetch(iChannel0, ivec2(p), 0) + 1.0;"));
    EXPECT_NE(set.scratch[0].framebuffer, 0u);
    for (int n = 1; n <= 4; ++n) {
        frame();
        EXPECT_EQ(texel(0, 0, 0).r, static_cast<float>(n));
        EXPECT_EQ(texel(0, kWidth - 1, kHeight - 1).r, static_cast<float>(n));
    }
    EXPECT_EQ(log.count_prefix("GL:"), 0) << log.joined();
    EXPECT_GE(checked_draws, 4) << "each of BufferA's draws was looked at";
    EXPECT_TRUE(feedback_loops.empty()) << feedback_loops.size() << " draws sampled their own target";
}

TEST_F(RenderPipeline, BindingItsOwnBufferWithoutSamplingItCostsNothing) {
    install(kPlainMain, with_directive("#pragma iChannel2 BufferA", "o = vec4(1.0);"));
    EXPECT_EQ(set.scratch[0].framebuffer, 0u);
    frame();
    EXPECT_EQ(texture_on_unit(6), buffer_texture(0));
}

TEST_F(RenderPipeline, AFailedReloadKeepsTheOldSetPlaying) {
    install(kPlainMain, kUniformProbe);
    const GLuint playing = set.programs[kBufferAPass];
    frame();
    frame();
    frame();
    const std::string missing = folder.file("missing.glsl");
    install_pass_set(&set, missing.c_str());
    EXPECT_TRUE(log.has_prefix("load_shader failed:" + missing));
    EXPECT_EQ(set.programs[kBufferAPass], playing);
    frame();
    EXPECT_EQ(texel(0, 1, 0).r, 3.0f) << "iFrame counts on";
}

TEST_F(RenderPipeline, ResizesBetweenFramesRecreateTheTargetsOnceAtTheLastSize) {
    install(with_directive("#pragma iChannel0 BufferB", "o = texture(iChannel0, p);"), kUniformProbe, kBlankPass, "",
            with_directive("#pragma iChannel0 BufferD", "o = texelFetch(iChannel0, ivec2(p), 0) + 1.0;"));
    frame();
    const GLuint old_b = buffer_texture(1);
    const int before = static_cast<int>(log.lines.size());

    request_target_resize(&set, 12, 6);
    request_target_resize(&set, 10, 4);
    frame();

    const int old_line = log.find_prefix("old fbo:", before);
    EXPECT_EQ(log.find_prefix("old fbo:", old_line + 1), -1);
    EXPECT_EQ(log.find_prefix("new fbo:", old_line + 2), -1);
    ASSERT_GE(old_line, 0);
    EXPECT_NE(log.lines[old_line].find(" " + std::to_string(old_b) + " "), std::string::npos) << log.lines[old_line];
    EXPECT_EQ(log.lines[old_line + 1], "new fbo:" + std::to_string(buffer_texture(0)) + " " +
                                           std::to_string(buffer_texture(1)) + " " + std::to_string(buffer_texture(2)) +
                                           " " + std::to_string(buffer_texture(3)));

    GLint width = 0;
    glGetTextureLevelParameteriv(buffer_texture(1), 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 10);
    EXPECT_EQ(texture_on_unit(0), buffer_texture(1)) << "Main's channel follows BufferB to its new texture";
    EXPECT_EQ(texture_on_unit(5), buffer_texture(1));
    EXPECT_EQ(texel(0, 0, 0).r, 10.0f) << "iResolution has the new size in the same frame";
    EXPECT_EQ(texel(0, 1, 0).r, 0.0f) << "new, cleared buffers begin at iFrame 0 so that sets can seed them";
    EXPECT_EQ(texel(3, 3, 3).r, 1.0f) << "a re-created target starts cleared, not undefined";
    EXPECT_EQ(texel(0, 7, 0).r, 10.0f) << "channel resolutions are measured again with the new targets";
    EXPECT_EQ(texel(0, 7, 0).g, 4.0f);
}

TEST_F(RenderPipeline, ASizeGivenBeforeThePlayersSetsExistIsTheSizeTheyAreCreatedAt) {
    resize_player_sets(12, 6);  // as the window's creation and attachment do
    create_player_sets();
    const std::string path = folder.write("set.glsl", kPlainMain);
    folder.write("set.a.glsl", kUniformProbe);
    install_on_every_set(path.c_str(), InstallRule::MainMustBuild);
    const int recreations = log.count_prefix("old fbo:");
    draw_player_sets();
    draw_player_sets();
    EXPECT_EQ(log.count_prefix("old fbo:"), recreations) << "nothing is left to carry out at the first frame";
    EXPECT_EQ(texel_of(first_player_set(), 0, 0, 0).r, 12.0f);
    EXPECT_EQ(first_player_set().targets[0].width, 12);
    destroy_player_sets();
}

TEST_F(RenderPipeline, SizesThatChangeNothingKeepTheBuffersAndTheirContents) {
    install(kPlainMain, with_directive("#pragma iChannel0 BufferA", "o = texelFetch(iChannel0, ivec2(p), 0) + 1.0;"));
    frame();
    frame();
    const int lines = static_cast<int>(log.lines.size());
    request_target_resize(&set, kWidth, kHeight);  // a restore from minimised
    request_target_resize(&set, 0, 0);             // a minimised or collapsed window
    request_target_resize(&set, 0, kHeight);
    frame();
    EXPECT_EQ(texel(0, 3, 3).r, 3.0f) << "the feedback counter counts on";
    EXPECT_EQ(log.find_prefix("old fbo:", lines), -1);
    EXPECT_EQ(log.find_prefix("GL:", lines), -1) << log.joined();
    EXPECT_EQ(set.targets[0].width, kWidth);
}

TEST_F(RenderPipeline, BuffersTakeStorageOnlyWhileTheInstalledSetDrawsThem) {
    install(kPlainMain);
    EXPECT_EQ(render_target_bytes(set), 4u * 16u + 6u * 16u) << "a texel each (a cube's a face), no depth";
    EXPECT_TRUE(log.has_prefix("render targets: 160 bytes"));

    install(kPlainMain, "", with_directive("#pragma iChannel0 BufferA", "o = texture(iChannel0, p) + 0.5;"));
    EXPECT_EQ(set.targets[0].width, 1) << "named but not drawn";
    EXPECT_EQ(set.targets[1].width, kWidth);
    EXPECT_EQ(render_target_bytes(set), 3u * 16u + 6u * 16u + kWidth * kHeight * 16u);
    frame();
    EXPECT_EQ(texture_on_unit(8), buffer_texture(0));
    EXPECT_EQ(texel(1, 5, 5).r, 0.5f) << "an undrawn buffer reads zeros";
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();
}

TEST_F(RenderPipeline, ARenderScaleDrawsSmallerAndStretchesMainOverTheWindowSmoothly) {
    set_render_scale(&set, 50);
    install(with_directive("", "o = vec4(p.x < iResolution.x * 0.5 ? 0.0 : 1.0);"), kUniformProbe, kBlankPass);
    frame();
    EXPECT_EQ(texel(0, 0, 0).r, kWidth / 2.0f) << "iResolution";
    EXPECT_EQ(texel(0, 0, 0).g, kHeight / 2.0f);
    EXPECT_EQ(texel(0, 7, 0).r, kWidth / 2.0f) << "iChannelResolution of a buffer";
    EXPECT_EQ(set.main_target.width, kWidth / 2);

    unsigned char row[kWidth * 4] = {};
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadPixels(0, 2, kWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE, row);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[4 * (kWidth - 1)], 255) << "the picture fills the window";
    int blended = 0;
    for (int x = 0; x < kWidth; ++x) blended += row[4 * x] > 0 && row[4 * x] < 255;
    EXPECT_GT(blended, 0) << "linear filtering, not nearest";
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();

    set_render_scale(&set, kFullRenderScale);
    frame();
    EXPECT_EQ(set.main_target.framebuffer, 0u) << "at full scale Main draws into the window";
}

TEST_F(RenderPipeline, TargetsTheGlCannotAllocateMakeTheRenderScaleFallBack) {
    install(kPlainMain, with_directive("", "o = vec4(0.5);"));
    glDisable(GL_DEBUG_OUTPUT);  // the driver's own out-of-memory line is not under test
    request_target_resize(&set, 16384, 16384);  // 4 GiB of RGBA32F for BufferA
    frame();
    EXPECT_TRUE(log.has_prefix("render target BufferA of 16384x16384 could not be allocated: GL_OUT_OF_MEMORY"))
        << log.joined();
    EXPECT_TRUE(log.has_prefix("render targets could not be allocated at render scale 100 %: falling back to 50 %"));
    EXPECT_TRUE(render_targets_allocated(set));
    EXPECT_LT(set.targets[0].width, 16384);
    request_target_resize(&set, kWidth, kHeight);
    set_render_scale(&set, kFullRenderScale);
}

TEST_F(RenderPipeline, TheBuiltInPassSetBuildsAllFivePassesCleanly) {
    install_pass_set(&set, nullptr);
    for (int pass = kMainPass; pass <= kBufferDPass; ++pass) EXPECT_NE(set.programs[pass], 0u);
    EXPECT_EQ(log.count_prefix("---------- build shader part:"), 5);
    EXPECT_EQ(log.count_prefix("pragma match: "), 10);
    EXPECT_FALSE(log.has_prefix("Compile Error:")) << log.joined();
    EXPECT_FALSE(log.has_prefix("Linking Error:")) << log.joined();
    EXPECT_FALSE(log.has_prefix("load_shader failed:"));
    EXPECT_EQ(set.scratch[0].framebuffer, 0u) << "BufferA binds itself but never samples it";
    frame();
    EXPECT_EQ(log.count_prefix("GL:"), 0) << log.joined();
}

TEST_F(RenderPipeline, WithoutAnyMainProgramNothingIsDrawn) {
    install("void mainImage(out vec4 o, in vec2 p) { o = broken; }\n");
    EXPECT_TRUE(log.has_prefix("load_shader failed:"));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const int before_frame = static_cast<int>(log.lines.size());
    frame();
    EXPECT_EQ(log.find_prefix("GL:", before_frame), -1) << "the compile error is the only driver message\n"
                                                         << log.joined();
    unsigned char pixel[4] = {9, 9, 9, 9};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[3], 0);
}

TEST_F(RenderPipeline, MainDrawsIntoTheWindow) {
    install(kPlainMain);
    frame();
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 51, 1);
    EXPECT_NEAR(pixel[1], 102, 1);
    EXPECT_NEAR(pixel[2], 153, 1);
}

TEST_F(RenderPipeline, TwoSetsPlayApartWithTheirOwnSizesBuffersAndClocks) {
    install(kPlainMain, kUniformProbe, kBlankPass);
    PlayingSet other;
    create_playing_set(&other, 8, 4, kFullRenderScale);
    const std::string path = folder.write("other.glsl", kPlainMain);
    folder.write("other.a.glsl", kUniformProbe);
    folder.write("other.b.glsl", kBlankPass);
    ASSERT_TRUE(install_pass_set(&other, path.c_str()));
    EXPECT_NE(other.targets[0].colour_texture, buffer_texture(0));
    frame();
    render_frame(&other);
    pause_frame_clock(&other.clock);  // the other monitor is covered
    frame();
    frame();
    EXPECT_EQ(texel(0, 0, 0).r, kWidth);
    EXPECT_EQ(texel(0, 1, 0).r, 2.0f) << "iFrame of the set that plays";
    EXPECT_EQ(texel(0, 7, 0).r, kWidth) << "its own buffer's resolution";
    EXPECT_EQ(texel_of(other, 0, 0, 0).r, 8.0f);
    EXPECT_EQ(texel_of(other, 0, 1, 0).r, 0.0f) << "the resting set drew one frame";
    EXPECT_EQ(texel_of(other, 0, 7, 0).r, 8.0f);
    resume_frame_clock(&other.clock);
    render_frame(&other);
    EXPECT_EQ(texel_of(other, 0, 1, 0).r, 1.0f) << "and goes on from there";
    destroy_playing_set(&other);
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();
}

TEST_F(RenderPipeline, ASetPlacedInTheWindowDrawsOnlyItsPartWithItsOwnCoordinates) {
    install(with_directive("", "o = vec4(p.x / iResolution.x, 0.0, 0.0, 1.0);"));
    request_target_resize(&set, kWidth / 2, kHeight);
    place_in_window(&set, kWidth / 2, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    frame();
    unsigned char row[kWidth * 4] = {};
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadPixels(0, 3, kWidth, 1, GL_RGBA, GL_UNSIGNED_BYTE, row);
    EXPECT_EQ(row[2], 255) << "left of the set the window is untouched";
    EXPECT_EQ(row[4 * (kWidth / 2 - 1) + 2], 255);
    EXPECT_EQ(row[4 * (kWidth / 2) + 2], 0) << "the set's part";
    EXPECT_LT(row[4 * (kWidth / 2)], 40) << "its left edge is its own x = 0";
    EXPECT_GT(row[4 * (kWidth - 1)], 200);
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();
}

// Paints a step on its first frame, then keeps it, counts its frames in
// green and shows iFrame in blue.
static const char kKeptPicture[] =
    "#pragma iChannel0 BufferA\n"
    "void mainImage(out vec4 o, in vec2 p) {\n"
    "    vec2 uv = p / iResolution.xy;\n"
    "    vec4 last = texture(iChannel0, uv);\n"
    "    o = iFrame == 0 ? vec4(step(0.5, uv.x), 0.0, 0.0, 1.0) : vec4(last.r, last.g + 1.0, float(iFrame), 1.0);\n"
    "}\n";

TEST_F(RenderPipeline, TheBudgetsChangeOfScaleKeepsTheBuffersPicturesAndIFrameWhileANewSizeStartsAfresh) {
    install(kPlainMain, kKeptPicture);
    for (int count = 0; count < 3; ++count) frame();
    rescale_keeping_pictures(&set, 50);
    frame();
    ASSERT_EQ(set.targets[0].width, kWidth / 2);
    const Texel left = texel(0, 3, 1);
    const Texel right = texel(0, 4, 1);
    EXPECT_EQ(left.r, 0.0f) << "the step, scaled, is where it was";
    EXPECT_EQ(right.r, 1.0f);
    EXPECT_EQ(right.g, 3.0f) << "the count went on";
    EXPECT_EQ(right.b, 3.0f) << "iFrame went on";

    request_target_resize(&set, kWidth, kHeight * 2);
    frame();
    EXPECT_EQ(texel(0, 4, 1).b, 0.0f) << "a new size starts the set afresh";
    EXPECT_EQ(texel(0, 4, 1).g, 0.0f);
}

TEST_F(RenderPipeline, EveryFrameTimesTheDrawnPassesAndOnlyThose) {
    install(kPlainMain, kBlankPass);
    for (int count = 0; count < 6; ++count) {
        frame();
        collect_pass_timings(&set.timings);
    }
    EXPECT_EQ(set.timings.frames_measured, 6);
    EXPECT_EQ(set.timings.passes[kMainPass].count, 6);
    EXPECT_EQ(set.timings.passes[kBufferAPass].count, 6);
    EXPECT_EQ(set.timings.passes[kBufferAPass + 1].count, 0) << "BufferB is not drawn";
    EXPECT_EQ(log.count_prefix("GL:"), 0) << log.joined();
}
