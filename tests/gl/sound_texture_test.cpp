// The Sound channel on a real context: a pass that names it reads the
// shared texture's rows, and what silence leaves there.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/frame_rendering.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "render/sound_texture.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

// BufferA texel (x, y) holds Sound texel (x, y) times 255, then the
// channel's resolution.
static const char kSoundProbe[] =
    "#pragma iChannel0 Sound\n"
    "void mainImage(out vec4 o, in vec2 p) {\n"
    "    ivec2 at = ivec2(p);\n"
    "    o = vec4(texelFetch(iChannel0, at, 0).r * 255.0, iChannelResolution[0]);\n"
    "}\n";
static const char kPlainMain[] = "void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0); }\n";

class SoundTexture : public GlTest {
  protected:
    void SetUp() override {
        set_fake_time_milliseconds(5000);
        set_fake_counter(1000, 1000);
        create_render_resources();
        create_playing_set(&set, 512, 2, kFullRenderScale);
        folder.write("set.a.glsl", kSoundProbe);
        ASSERT_TRUE(install_pass_set(&set, folder.write("set.glsl", kPlainMain).c_str()));
    }
    void TearDown() override {
        destroy_playing_set(&set);
        destroy_render_resources();
    }
    // The frame as the player draws it: the texture filled first.
    std::vector<float> frame() {
        fill_sound_texture();
        render_frame(&set);
        std::vector<float> pixels(512 * 2 * 4);
        glGetTextureImage(set.targets[0].colour_texture, 0, GL_RGBA, GL_FLOAT,
                          static_cast<GLsizei>(pixels.size() * sizeof(float)), pixels.data());
        return pixels;
    }
    // The byte the texel holds; r x 255 misses it by a rounding error.
    static float read(const std::vector<float>& pixels, int x, int y) { return std::round(pixels[(y * 512 + x) * 4]); }

    PlayingSet set;
    TempFolder folder{"lumenfold-sound"};
    RecordingLog log;
};

TEST_F(SoundTexture, APassReadsTheSpectrumAndWaveRowsAndTheirResolution) {
    EXPECT_TRUE(set_samples_sound(set));
    std::vector<float> tone(2048);
    for (int n = 0; n < 2048; ++n)
        tone[n] = 0.01f * static_cast<float>(std::sin(2.0 * 3.14159265358979 * 100 * n / 2048));
    tone.back() = 0.5f;
    push_sound_samples(tone.data(), 2048, 1, 48000);
    const std::vector<float> pixels = frame();
    EXPECT_GT(read(pixels, 100, 0), 0.0f) << "the tone's bin";
    EXPECT_EQ(read(pixels, 300, 0), 0.0f) << "a quiet bin";
    EXPECT_EQ(read(pixels, 511, 1), 192.0f) << "the newest sample, 0.5";
    EXPECT_EQ(pixels[1], 512.0f);
    EXPECT_EQ(pixels[2], 2.0f);
    EXPECT_EQ(pixels[3], 1.0f);

    silence_sound();
    const std::vector<float> silent = frame();
    for (int x = 0; x < 512; ++x) {
        ASSERT_EQ(read(silent, x, 0), 0.0f) << x;
        ASSERT_EQ(read(silent, x, 1), 128.0f) << x;
    }
}
