// A long pass text compiles on the build thread while this thread goes on
// drawing the set that plays, and the set it builds then plays here: the
// programs are shared between the two contexts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/background_builds.h"
#include "render/frame_rendering.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

// Each line names a new value made from the one before, which the
// compiler nests into one expression as deep as the text is long; the
// chain settles at 0.5.
static std::string long_chain_pass(int lines) {
    std::string text = "void mainImage(out vec4 o, in vec2 p) {\n    float v0 = 0.1 + 0.001 * iTime;\n";
    for (int line = 1; line <= lines; ++line) {
        text += "    float v" + std::to_string(line) + " = v" + std::to_string(line - 1) + " * 0.5 + 0.25;\n";
    }
    const std::string last = "v" + std::to_string(lines);
    return text + "    o = vec4(" + last + ", 1.0 - " + last + ", 0.0, 1.0);\n}\n";
}

// NOTE: Wine 8 runs the driver's compiler on a stack of its own, whatever
// the calling thread's: a chain 1,000 deep exhausts it and the compile loops
// in access violations for ever, on any thread.
#ifdef _WIN32
static const int kLongChainLines = 500;
#else
static const int kLongChainLines = 5000;
#endif

static const char kRed[] = "void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0, 0.0, 0.0, 1.0); }\n";

static int handed_back = 0;
static void count_handed_back(BackgroundBuild* build) {
    discard_prepared_pass_set(build->prepared);
    ++handed_back;
}

class BackgroundBuilds : public GlTest {
  protected:
    // Nothing an earlier run left in Mesa's cache may stand in for the
    // compile; the driver reads this as its first context opens.
    static void SetUpTestSuite() {
#ifndef _WIN32
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
#endif
        GlTest::SetUpTestSuite();
    }

    void SetUp() override {
        set_fake_time_milliseconds(5000);
        set_fake_counter(1000, 1000);
        create_render_resources();
        create_playing_set(&set, 4, 4, kFullRenderScale);
        set_main_offscreen(&set, true);
        ASSERT_TRUE(install_pass_set(&set, folder.write("red.glsl", kRed).c_str()));
        ASSERT_TRUE(start_background_builds());
    }

    void TearDown() override {
        stop_background_builds(120000, count_handed_back);
        destroy_playing_set(&set);
        destroy_render_resources();
    }

    unsigned char red_of_picture() {
        unsigned char pixel[4] = {};
        glGetTextureSubImage(set.main_target.colour_texture, 0, 1, 1, 0, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                             sizeof pixel, pixel);
        return pixel[0];
    }

    PlayingSet set = {};
    TempFolder folder{"lumenfold-background"};
};

TEST_F(BackgroundBuilds, ALongTextBuildsElsewhereWhileThePlayingSetDrawsAndThenPlays) {
    const std::string path = folder.write("long.glsl", long_chain_pass(kLongChainLines));
    RecordingLog log;
    PendingInstall install;
    prepare_install(&install, set, path.c_str());
    BackgroundBuild build = {&install.prepared, {false}, 0.0, nullptr};
    queue_background_build(&build);

    int frames_while_building = 0;
    while (!background_build_compiled(build)) {
        ASSERT_TRUE(render_frame(&set));
        glFinish();
        EXPECT_EQ(red_of_picture(), 255) << "the playing set plays on";
        ++frames_while_building;
    }
    // Here the compile takes seconds and the frames go on all the while; the
    // short chain Wine can take may compile before a second frame.
    EXPECT_GE(frames_while_building, kLongChainLines >= 5000 ? 2 : 1) << "the compile left this thread free";
    std::printf("compiled in %.0f ms on the build thread while %d frames were drawn here\n", build.compile_ms,
                frames_while_building);
    EXPECT_EQ(log.count_prefix("---------- build shader part:Main"), 1) << log.joined();

    ASSERT_TRUE(finish_install(&set, &install, path.c_str(), InstallRule::EveryPassMustBuild)) << log.joined();
    ASSERT_TRUE(render_frame(&set));
    EXPECT_NEAR(red_of_picture(), 128, 1) << "the program linked there draws here";
}

TEST_F(BackgroundBuilds, BuildsNotStartedWhenTheyStopAreHandedBackUnbuilt) {
    const std::string path = folder.write("long.glsl", long_chain_pass(kLongChainLines));
    PendingInstall installs[3];
    BackgroundBuild builds[3];
    for (int index = 0; index < 3; ++index) {
        prepare_install(&installs[index], set, path.c_str());
        builds[index].prepared = &installs[index].prepared;
        queue_background_build(&builds[index]);
    }
    handed_back = 0;
    stop_background_builds(120000, count_handed_back);
    EXPECT_TRUE(background_build_compiled(builds[0]) || handed_back == 3);
    EXPECT_GE(handed_back, 2);
    EXPECT_FALSE(background_builds_running());
    for (int index = 0; index < 3; ++index) {
        if (background_build_compiled(builds[index])) discard_prepared_pass_set(&installs[index].prepared);
    }
}

TEST_F(BackgroundBuilds, ASetWhoseTargetsWereMadeAnewWhileItBuiltReadsTheNewOnes) {
    folder.write("feed.a.glsl", "void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 1.0, 0.0, 1.0); }\n");
    const std::string path = folder.write("feed.glsl",
                                          "#pragma iChannel0 BufferA\n"
                                          "void mainImage(out vec4 o, in vec2 p) { o = texelFetch(iChannel0, ivec2(p), 0); }\n");
    PendingInstall install;
    prepare_install(&install, set, path.c_str());
    compile_prepared_pass_set(&install.prepared);
    // As the GPU budget's change of scale does while a set builds.
    set.size.buffer_drawn[0] = true;
    request_target_resize(&set, 6, 6);
    recreate_render_targets(&set);
    ASSERT_NE(set.targets[0].colour_texture, install.buffers_named[0]);

    ASSERT_TRUE(finish_install(&set, &install, path.c_str(), InstallRule::EveryPassMustBuild));
    // NOTE: a unit given a deleted name keeps what it had, which may well be
    // the new target: only the channel itself tells.
    EXPECT_EQ(set.channels[kChannelsPerPass * kMainPass], set.targets[0].colour_texture)
        << "Main reads BufferA's new target";
}
