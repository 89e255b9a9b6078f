// CubeA on a real context: its faces are read back whole and compared with
// the directions GL's cubemap lookups use.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/builtin_cubemaps.h"
#include "render/frame_rendering.h"
#include "render/pass_bands.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

// Its direction in rgb, and in alpha one more than its last frame there.
static const char kCubeCounter[] =
    "#pragma iChannel0 CubeA\n"
    "void mainCubemap(out vec4 o, in vec2 p, in vec3 ro, in vec3 rd) {\n"
    "    o = vec4(rd + ro, texture(iChannel0, rd).a + 1.0);\n"
    "}\n";
// Drawn before the cube: its last frame's count, and its resolution.
static const char kBufferProbe[] =
    "#pragma iChannel2 CubeA\n"
    "void mainImage(out vec4 o, in vec2 p) {\n"
    "    o = vec4(texture(iChannel2, vec3(0.0, 0.0, -1.0)).a, iChannelResolution[2]);\n"
    "}\n";
// Drawn after it: this frame's count, a tenth of it.
static const char kMainProbe[] =
    "#pragma iChannel1 CubeA\n"
    "void mainImage(out vec4 o, in vec2 p) { o = vec4(texture(iChannel1, vec3(0.0, 1.0, 0.0)).a / 10.0); }\n";

static bool never_give_way(void*) { return false; }

class CubePass : public GlTest {
  protected:
    void SetUp() override {
        set_fake_time_milliseconds(5000);
        set_fake_counter(1000, 1000);
        create_render_resources();
        create_playing_set(&set, 16, 8, kFullRenderScale);
        set_main_offscreen(&set, true);
    }

    void TearDown() override {
        look_between_bands(nullptr, nullptr);
        destroy_playing_set(&set);
        destroy_render_resources();
    }

    void install(const char* main_text, const char* a_text, const char* cube_text) {
        const std::string path = folder.write("set.glsl", main_text);
        if (a_text) folder.write("set.a.glsl", a_text);
        if (cube_text) folder.write("set.cube.glsl", cube_text);
        ASSERT_TRUE(install_pass_set(&set, path.c_str(), InstallRule::EveryPassMustBuild)) << log.joined();
    }

    void frame() {
        counter += 20;
        set_fake_counter(counter, 1000);
        render_frame(&set);
    }

    std::vector<float> cube_texels() const {
        const int size = set.cube_target.size;
        std::vector<float> texels(static_cast<size_t>(size) * size * 6 * 4);
        glGetTextureImage(set.cube_target.colour_texture, 0, GL_RGBA, GL_FLOAT,
                          static_cast<GLsizei>(texels.size() * sizeof(float)), texels.data());
        return texels;
    }

    PlayingSet set;
    int64_t counter = 1000;
    TempFolder folder{"lumenfold-cube"};
    RecordingLog log;
};

TEST_F(CubePass, DrawsItsSixFacesAlongGlsDirectionsAndReadsItsPreviousFrame) {
    // 25 % makes the faces the built-in cubemaps' size, whose directions
    // cubemap_texel_direction gives.
    set_render_scale(&set, 25);
    install(kMainProbe, kBufferProbe, kCubeCounter);
    EXPECT_TRUE(log.has_prefix("---------- build shader part:CubeA"));
    EXPECT_NE(set.cube_scratch.colour_texture, 0u) << "it samples itself";
    look_between_bands(never_give_way, nullptr);
    frame();
    EXPECT_GT(set.band_counts[kCubeAPass], kCubeFaceCount) << "unmeasured, it is drawn in bands, several a face";
    look_between_bands(nullptr, nullptr);
    frame();
    frame();

    ASSERT_EQ(set.cube_target.size, kBuiltinCubemapFaceSize);
    const std::vector<float> texels = cube_texels();
    const int size = set.cube_target.size;
    const int places[3][2] = {{size / 2, size / 2}, {3, 200}, {250, 17}};
    for (int face = 0; face < kCubeFaceCount; ++face) {
        for (const int* at : places) {
            float direction[3];
            cubemap_texel_direction(face, at[0], at[1], direction);
            const float length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                           direction[2] * direction[2]);
            const float* texel = &texels[((static_cast<size_t>(face) * size + at[1]) * size + at[0]) * 4];
            for (int component = 0; component < 3; ++component) {
                EXPECT_NEAR(texel[component], direction[component] / length, 1e-5f)
                    << "face " << face << " texel " << at[0] << "," << at[1];
            }
            EXPECT_EQ(texel[3], 3.0f) << "three frames counted, each on the last";
        }
    }
    float buffer_texel[4] = {};
    glGetTextureSubImage(set.targets[0].colour_texture, 0, 0, 0, 0, 1, 1, 1, GL_RGBA, GL_FLOAT, sizeof buffer_texel,
                         buffer_texel);
    EXPECT_EQ(buffer_texel[0], 2.0f) << "BufferA reads the cube of the frame before";
    EXPECT_EQ(buffer_texel[1], 256.0f) << "iChannelResolution";
    EXPECT_EQ(buffer_texel[2], 256.0f);
    EXPECT_EQ(buffer_texel[3], 1.0f);
    unsigned char main_texel[4] = {};
    glGetTextureSubImage(set.main_target.colour_texture, 0, 0, 0, 0, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                         sizeof main_texel, main_texel);
    EXPECT_NEAR(main_texel[0], 77, 1) << "Main reads this frame's";
    collect_pass_timings(&set.timings);
    EXPECT_EQ(set.timings.passes[kCubeAPass].count, 3) << "timed as a pass";
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();
}

TEST_F(CubePass, FacesFollowTheRenderScaleKeepingTheirPictureAndTakeStorageOnlyWhenDrawn) {
    install(kMainProbe, nullptr, kCubeCounter);
    const uint64_t cube_bytes = 6ull * 1024 * 1024 * 16;
    EXPECT_EQ(set.cube_target.size, kCubeFaceSize);
    EXPECT_EQ(render_target_bytes(set), 2 * cube_bytes + 16ull * 8 * 4 + 4 * 16) << "cube, scratch cube, Main, buffers";
    frame();
    frame();
    rescale_keeping_pictures(&set, 50);
    frame();
    EXPECT_EQ(set.cube_target.size, kCubeFaceSize / 2);
    EXPECT_EQ(cube_texels()[3], 3.0f) << "the count went on at the new size";

    ASSERT_TRUE(install_pass_set(&set, folder.write("plain.glsl", kMainProbe).c_str()));
    EXPECT_EQ(set.cube_target.size, 1) << "named but not drawn: a texel a face";
    frame();
    EXPECT_EQ(cube_texels()[3], 0.0f) << "cleared by the install, and read as zeros";
}
