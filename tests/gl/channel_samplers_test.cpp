// Sampler options on a real context: each one changes what a channel reads.
// Probe buffers write what they sample into RGBA32F targets, read back exactly.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gl/gl_diagnostics.h"
#include "render/builtin_cubemaps.h"
#include "render/builtin_volumes.h"
#include "render/channel_samplers.h"
#include "render/frame_rendering.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "shader/channel_table.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

static const int kWidth = 16;
static const int kHeight = 8;

static const char kPlainMain[] = "void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0); }\n";

class ChannelSamplerOptions : public GlTest {
  protected:
    void SetUp() override {
        set_fake_counter(1000, 1000);
        create_render_resources();
        create_playing_set(&set, kWidth, kHeight, kFullRenderScale);
        enable_gl_debug_output(1);
    }
    void TearDown() override {
        EXPECT_EQ(log.count_prefix("GL:"), 0) << log.joined();
        glDisable(GL_DEBUG_OUTPUT);
        glDebugMessageCallback(nullptr, nullptr);
        destroy_playing_set(&set);
        destroy_render_resources();
    }
    void install(const std::vector<std::string>& buffers) {
        const std::string path = folder.write("set.glsl", kPlainMain);
        const char* suffixes[] = {"a", "b", "c", "d"};
        for (size_t index = 0; index < buffers.size(); ++index) {
            folder.write(std::string("set.") + suffixes[index] + ".glsl", buffers[index]);
        }
        ASSERT_TRUE(install_pass_set(&set, path.c_str(), InstallRule::EveryPassMustBuild)) << log.joined();
    }
    void frame() {
        counter += 20;
        set_fake_counter(counter, 1000);
        render_frame(&set);
    }
    std::vector<float> texels(int buffer) const {
        std::vector<float> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
        glGetTextureImage(set.targets[buffer].colour_texture, 0, GL_RGBA, GL_FLOAT,
                          static_cast<GLsizei>(pixels.size() * sizeof(float)), pixels.data());
        return pixels;
    }
    float red(int buffer, int x, int y) const { return texels(buffer)[(static_cast<size_t>(y) * kWidth + x) * 4]; }
    float green(int buffer, int x, int y) const {
        return texels(buffer)[(static_cast<size_t>(y) * kWidth + x) * 4 + 1];
    }

    PlayingSet set;
    int64_t counter = 1000;
    TempFolder folder{"lumenfold-samplers"};
    RecordingLog log;
};

// BufferA holds its column number; the readers sample 3/4 of the way from
// the centre of column 3 to that of column 4, and beyond the right edge by
// one and a half columns.
static const char kColumns[] = "void mainImage(out vec4 o, in vec2 p) { o = vec4(floor(p.x)); }\n";
static std::string column_reader(const char* directive) {
    return std::string(directive) +
           "\nvoid mainImage(out vec4 o, in vec2 p) {\n"
           "    o = vec4(texture(iChannel0, vec2(4.25 / 16.0, 0.5)).r, texture(iChannel0, vec2(1.0 + 1.5 / 16.0, "
           "0.5)).r,"
           " 0.0, 1.0);\n}\n";
}

TEST_F(ChannelSamplerOptions, NearestAndRepeatChangeWhatABufferReadsAndUnknownOptionsStillBind) {
    install({kColumns, column_reader("#pragma iChannel0 BufferA filter=nearest"),
             column_reader("#pragma iChannel0 BufferA srgb=true"),
             column_reader("#pragma iChannel0 BufferA wrap=repeat filter=linear")});
    frame();
    EXPECT_EQ(red(1, 0, 0), 4.0f) << "nearest takes column 4";
    EXPECT_EQ(red(2, 0, 0), 3.75f) << "linear, the default, mixes 3 and 4";
    EXPECT_EQ(red(3, 0, 0), 3.75f);
    EXPECT_EQ(green(1, 0, 0), 15.0f) << "clamped, the default, stays at the last column";
    EXPECT_EQ(green(2, 0, 0), 15.0f);
    EXPECT_EQ(green(3, 0, 0), 1.0f) << "repeating comes back in at column 1";
    EXPECT_EQ(log.count_prefix("pragma unknown options: iChannel0 srgb=true"), 1);
}

TEST_F(ChannelSamplerOptions, VflipFalseReadsAnImageInItsFilesRowOrder) {
    install(
        {"#pragma iChannel0 organic1.jpg\n#pragma iChannel1 organic1.jpg vflip=false\n"
         "void mainImage(out vec4 o, in vec2 p) {\n"
         "    ivec2 size = textureSize(iChannel1, 0);\n"
         "    ivec2 at = ivec2(p) * 37;\n"
         "    o = vec4(texelFetch(iChannel0, at, 0).r, texelFetch(iChannel1, ivec2(at.x, size.y - 1 - at.y), 0).r,"
         " texelFetch(iChannel1, at, 0).r, float(size == textureSize(iChannel0, 0)));\n"
         "}\n"});
    frame();
    const std::vector<float> read = texels(0);
    int differing = 0;
    for (size_t texel = 0; texel < read.size(); texel += 4) {
        EXPECT_EQ(read[texel], read[texel + 1]) << texel / 4;
        EXPECT_EQ(read[texel + 3], 1.0f);
        if (read[texel] != read[texel + 2]) ++differing;
    }
    EXPECT_GT(differing, kWidth * kHeight / 2);
}

// A checkerboard of 0 and 2 × (iFrame + 1): its smallest level is the mean.
TEST_F(ChannelSamplerOptions, MipmapOnABufferMakesItsMipmapsEveryFrame) {
    install(
        {"void mainImage(out vec4 o, in vec2 p) {\n"
         "    o = vec4((int(p.x) + int(p.y)) % 2 == 0 ? 0.0 : 2.0 * float(iFrame + 1));\n}\n",
         "#pragma iChannel0 BufferA filter=mipmap\n#pragma iChannel1 BufferA\n"
         "void mainImage(out vec4 o, in vec2 p) {\n"
         "    vec2 corner = vec2(0.5 / 16.0, 0.5 / 8.0);\n"
         "    o = vec4(textureLod(iChannel0, corner, 10.0).r, textureLod(iChannel1, corner, 10.0).r, 0.0, 0.0);\n"
         "}\n"});
    for (int n = 1; n <= 3; ++n) {
        frame();
        EXPECT_FLOAT_EQ(red(1, 2, 2), static_cast<float>(n)) << "frame " << n;
        EXPECT_EQ(green(1, 2, 2), 0.0f) << "without the option there are no mipmaps";
    }
    request_target_resize(&set, 2 * kWidth, kHeight);
    frame();
    EXPECT_EQ(set.samplers.mipmapped_buffers[0].width, 2 * kWidth) << "the copy follows a new size";
}

// BufferA's first pixels read a volume texel (and its repeat one volume
// further on), the grey volume, a cubemap texel through its direction, and
// the sizes each kind of channel reports.
TEST_F(ChannelSamplerOptions, VolumesAndCubemapsReadWhatWasMadeAndAreMadeOnlyWhenNamed) {
    for (int entry = kFirstVolumeEntry; entry < kFirstCubemapEntry + kBuiltinCubemapCount; ++entry) {
        EXPECT_EQ(ChannelTable[entry].texture, 0u) << ChannelTable[entry].name << " before any set names it";
    }
    float d[3];
    cubemap_texel_direction(0, 100, 60, d);
    char reader[1024];
    snprintf(reader, sizeof reader,
             "#pragma iChannel0 rgba_noise_volume\n#pragma iChannel1 gray_noise_volume\n"
             "#pragma iChannel2 sky_cubemap\n#pragma iChannel3 BufferA\n"
             "void mainImage(out vec4 o, in vec2 p) {\n"
             "    vec3 at = (vec3(5.0, 7.0, 9.0) + 0.5) / 32.0;\n"
             "    int x = int(p.x);\n"
             "    if (x == 0) o = texture(iChannel0, at);\n"
             "    else if (x == 1) o = texture(iChannel0, at + vec3(1.0, -2.0, 1.0));\n"
             "    else if (x == 2) o = texture(iChannel1, at);\n"
             "    else if (x == 3) o = texture(iChannel2, vec3(%.9g, %.9g, %.9g));\n"
             "    else if (x == 4) o = vec4(iChannelResolution[0], 0.0);\n"
             "    else if (x == 5) o = vec4(iChannelResolution[2], 0.0);\n"
             "    else o = vec4(iChannelResolution[3], 0.0);\n"
             "}\n",
             d[0], d[1], d[2]);
    install({reader});
    frame();
    const std::vector<float> read = texels(0);
    auto pixel = [&](int x, int channel) { return read[static_cast<size_t>(x) * 4 + channel]; };
    for (int channel = 0; channel < 4; ++channel) {
        const float made = noise_volume_texel(5, 7, 9, channel, 4) / 255.0f;
        EXPECT_NEAR(pixel(0, channel), made, 1e-4) << "rgba volume, channel " << channel;
        EXPECT_NEAR(pixel(1, channel), made, 1e-4) << "it repeats";
    }
    EXPECT_NEAR(pixel(2, 0), noise_volume_texel(5, 7, 9, 0, 1) / 255.0f, 1e-4);
    EXPECT_NE(noise_volume_texel(5, 7, 9, 0, 1), noise_volume_texel(5, 7, 9, 0, 4)) << "two noises, not one";
    uint8_t sky[4];
    builtin_cubemap_texel(0, 0, 100, 60, sky);
    for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(pixel(3, channel), sky[channel] / 255.0f, 1e-3);
    EXPECT_EQ(pixel(4, 0), 32.0f);
    EXPECT_EQ(pixel(4, 2), 32.0f) << "a volume's depth";
    EXPECT_EQ(pixel(5, 0), static_cast<float>(kBuiltinCubemapFaceSize));
    EXPECT_EQ(pixel(5, 2), 1.0f);
    EXPECT_EQ(pixel(6, 0), static_cast<float>(kWidth));
    EXPECT_EQ(pixel(6, 2), 1.0f);
    EXPECT_NE(ChannelTable[kFirstCubemapEntry].texture, 0u);
    EXPECT_EQ(ChannelTable[kFirstCubemapEntry + 1].texture, 0u) << "the starfield was not named";
}
