// Passes drawn in bands against the same passes drawn whole: the pictures
// must match bit for bit, a buffer that reads itself included, and a frame
// that gives way between bands leaves every buffer as the frame before did.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/frame_rendering.h"
#include "render/pass_bands.h"
#include "render/pass_set_install.h"
#include "render/render_resources.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

// Rows that no band count divides evenly.
static const int kWidth = 19;
static const int kHeight = 23;

// BufferA feeds on its previous frame; Main reads it shifted, so a band
// that read this frame's rows of a neighbour band would show.
static const char kFeedback[] =
    "#pragma iChannel0 BufferA filter=nearest\n"
    "void mainImage(out vec4 o, in vec2 p) {\n"
    "    vec4 last = texelFetch(iChannel0, ivec2(p.x, mod(p.y + 3.0, iResolution.y)), 0);\n"
    "    o = fract(last * 1.37 + vec4(p / iResolution.xy, float(iFrame) * 0.11, 0.25));\n"
    "}\n";
static const char kMain[] =
    "#pragma iChannel0 BufferA filter=nearest\n"
    "void mainImage(out vec4 o, in vec2 p) { o = texelFetch(iChannel0, ivec2(p) / 2 + ivec2(0, 5), 0); }\n";

static int looks = 0;
static int give_way_at_look = 0;  // 0: never

static bool count_looks(void*) { return ++looks == give_way_at_look; }

class PassBands : public GlTest {
  protected:
    void SetUp() override {
        set_fake_time_milliseconds(5000);
        set_fake_counter(1000, 1000);
        set_fake_cursor(0.0, 0.0);
        looks = 0;
        give_way_at_look = 0;
        // Finished passes keep the draw times a test gives them until the
        // frame's own are in.
        time_passes_by_finishing(true);
        create_render_resources();
        for (PlayingSet* set : {&whole, &banded}) {
            create_playing_set(set, kWidth, kHeight, kFullRenderScale);
            set_main_offscreen(set, true);
            const std::string path = folder.write("feedback.glsl", kMain);
            folder.write("feedback.a.glsl", kFeedback);
            install_pass_set(set, path.c_str());
        }
    }

    void TearDown() override {
        look_between_bands(nullptr, nullptr);
        destroy_playing_set(&whole);
        destroy_playing_set(&banded);
        destroy_render_resources();
        time_passes_by_finishing(false);
    }

    // The same inputs for both sets, frame by frame.
    static FrameInputs inputs_of(int frame) {
        FrameInputs inputs = {};
        inputs.timing.frame = frame;
        inputs.timing.time = frame / 60.0;
        inputs.timing.frame_rate = 60.0;
        inputs.timing.time_delta = 1.0 / 60.0;
        return inputs;
    }

    bool draw_banded(int frame, double last_ms) {
        look_between_bands(count_looks, nullptr);
        for (double& ms : banded.timings.latest_pass_ms) ms = last_ms;
        const bool drawn = render_frame_with(&banded, inputs_of(frame));
        look_between_bands(nullptr, nullptr);
        return drawn;
    }

    static std::vector<float> pixels_of(GLuint texture, GLenum type) {
        std::vector<float> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
        glGetTextureImage(texture, 0, GL_RGBA, type, static_cast<GLsizei>(pixels.size() * sizeof(float)),
                          pixels.data());
        return pixels;
    }
    static std::vector<float> buffer_a(const PlayingSet& set) {
        return pixels_of(set.targets[0].colour_texture, GL_FLOAT);
    }
    // RGBA8 read as bytes, packed four to a float's room.
    static std::vector<float> main_picture(const PlayingSet& set) {
        return pixels_of(set.main_target.colour_texture, GL_UNSIGNED_BYTE);
    }

    PlayingSet whole;
    PlayingSet banded;
    TempFolder folder{"lumenfold-bands"};
    RecordingLog log;
};

TEST_F(PassBands, ABandedFrameIsTheWholeFrameBitForBitAndSaysSoOnce) {
    ASSERT_NE(banded.scratch[0].framebuffer, 0u) << "BufferA reads itself";
    for (int frame = 0; frame < 4; ++frame) {
        ASSERT_TRUE(render_frame_with(&whole, inputs_of(frame)));
        // 20 ms a band: 5 bands of 4 or 5 rows.
        ASSERT_TRUE(draw_banded(frame, 100.0));
        EXPECT_EQ(banded.band_counts[kBufferAPass], 5);
        EXPECT_EQ(buffer_a(banded), buffer_a(whole)) << "frame " << frame;
        EXPECT_EQ(main_picture(banded), main_picture(whole)) << "frame " << frame;
    }
    EXPECT_GE(looks, 4 * 2 * 4) << "a look between every two of each pass's bands";
    // Measured cheap now, then dear again: banded again, and not said again.
    ASSERT_TRUE(draw_banded(4, 1.0));
    EXPECT_EQ(banded.band_counts[kBufferAPass], 1);
    ASSERT_TRUE(draw_banded(5, 100.0));
    EXPECT_EQ(log.count_prefix("bands: BufferA in 5 bands"), 1) << log.joined();
    EXPECT_EQ(log.count_prefix("bands: Main in 5 bands"), 1) << log.joined();
    EXPECT_EQ(log.count_prefix("GL:"), 0) << log.joined();
}

TEST_F(PassBands, AFrameThatGivesWayLeavesTheBuffersAsTheFrameBeforeLeftThem) {
    ASSERT_TRUE(render_frame_with(&whole, inputs_of(0)));
    ASSERT_TRUE(draw_banded(0, 0.0));
    const std::vector<float> before = buffer_a(banded);
    // A band into BufferA's scratch target, then the frame gives way.
    give_way_at_look = looks + 2;
    EXPECT_FALSE(draw_banded(1, 1000.0));
    EXPECT_EQ(buffer_a(banded), before) << "the self-reading buffer keeps its last frame";
    EXPECT_EQ(banded.timings.frames_measured, 1) << "the part drawn is not measured";
    // Drawn afresh, it is the frame the whole set drew.
    ASSERT_TRUE(render_frame_with(&whole, inputs_of(1)));
    ASSERT_TRUE(draw_banded(1, 1000.0));
    EXPECT_EQ(banded.band_counts[kBufferAPass], kHeight) << "never more bands than rows";
    EXPECT_EQ(buffer_a(banded), buffer_a(whole));
    EXPECT_EQ(main_picture(banded), main_picture(whole));
}

TEST_F(PassBands, ASetIsDrawnInBandsUntilItsPassesAreMeasured) {
    look_between_bands(count_looks, nullptr);
    for (int install = 0; install < 2; ++install) {
        ASSERT_TRUE(render_frame_with(&banded, inputs_of(0)));
        EXPECT_EQ(banded.band_counts[kBufferAPass], kUnmeasuredBands);
        ASSERT_TRUE(render_frame_with(&banded, inputs_of(1)));
        EXPECT_EQ(banded.band_counts[kBufferAPass], 1) << "measured cheap, drawn whole";
        install_pass_set(&banded, folder.file("feedback.glsl").c_str());
    }
    EXPECT_EQ(log.count_prefix("bands: BufferA in 8 bands"), 2) << log.joined();
}

TEST(BandCount, AboutTwentyMillisecondsABandNeverMoreBandsThanRowsAndNoWavering) {
    EXPECT_EQ(band_count_for(kNotMeasured, 720, false), kUnmeasuredBands) << "before any result";
    EXPECT_EQ(band_count_for(kNotMeasured, 3, false), 3);
    EXPECT_EQ(band_count_for(0.0, 720, true), 1);
    EXPECT_EQ(band_count_for(2.0 * kBandMs, 720, false), 1) << "whole until it takes twice a band";
    EXPECT_EQ(band_count_for(2.0 * kBandMs + 0.1, 720, false), 3);
    EXPECT_EQ(band_count_for(kBandMs + 0.1, 720, true), 2) << "banded while it takes more than a band";
    EXPECT_EQ(band_count_for(kBandMs, 720, true), 1);
    EXPECT_EQ(band_count_for(240.0, 720, false), 12);
    EXPECT_EQ(band_count_for(1.0e6, 720, false), 720);
    EXPECT_EQ(band_count_for(1.0e6, 1, true), 1);
}
