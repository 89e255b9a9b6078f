// The Sound channel's analysis: where a tone lands, what silence reads, and
// the transform it rests on.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/fft.h"
#include "render/sound_analysis.h"

static const double kPi = 3.14159265358979323846;

// `seconds` of a sine on every channel, interleaved.
static std::vector<float> sine(double frequency, int rate, int channels, int frames, float amplitude) {
    std::vector<float> samples(static_cast<size_t>(frames) * channels);
    for (int frame = 0; frame < frames; ++frame) {
        const float value = amplitude * static_cast<float>(std::sin(2.0 * kPi * frequency * frame / rate));
        for (int channel = 0; channel < channels; ++channel)
            samples[static_cast<size_t>(frame) * channels + channel] = value;
    }
    return samples;
}

static int loudest_bin(const unsigned char* image) {
    int loudest = 0;
    for (int bin = 1; bin < kSoundImageWidth; ++bin) {
        if (image[bin] > image[loudest]) loudest = bin;
    }
    return loudest;
}

class AnalysedSound : public testing::Test {
  protected:
    void SetUp() override {
        clear_sound_ring(&ring);
        clear_sound_analysis(&analysis);
    }
    // Enough frames on the same samples for the smoothing to settle.
    void analyse_settled() {
        for (int frame = 0; frame < 60; ++frame) analyse_sound(&analysis, ring, image);
    }
    SoundRing ring;
    SoundAnalysis analysis;
    unsigned char image[kSoundImageBytes];
};

TEST_F(AnalysedSound, ASineShowsItsPeakInTheBinOfItsFrequency) {
    struct Tone {
        double frequency;
        int rate;
        int channels;
        int expected_bin;  // f * 2048 / rate, rounded
    };
    for (const Tone tone : {Tone{2343.75, 48000, 1, 100}, Tone{1000.0, 44100, 2, 46}, Tone{5000.0, 48000, 6, 213}}) {
        SetUp();
        // More than a window, pushed in pieces as a capture delivers them.
        const std::vector<float> samples = sine(tone.frequency, tone.rate, tone.channels, 3000, 0.01f);
        push_to_sound_ring(&ring, samples.data(), 1000, tone.channels, tone.rate);
        push_to_sound_ring(&ring, samples.data() + 1000 * tone.channels, 2000, tone.channels, tone.rate);
        analyse_settled();
        EXPECT_EQ(loudest_bin(image), tone.expected_bin) << tone.frequency << " Hz at " << tone.rate;
        EXPECT_GT(image[tone.expected_bin], 60) << "a tone at -40 dB of full scale reads inside -100..-30 dB";
        EXPECT_LT(image[tone.expected_bin], 255);
        EXPECT_EQ(image[tone.expected_bin + 40], 0) << "far from the tone the spectrum is quiet";
        EXPECT_EQ(ring.rate, tone.rate);
    }
}

TEST_F(AnalysedSound, TheSmoothingRisesTowardsTheNewMagnitude) {
    const std::vector<float> samples = sine(2343.75, 48000, 1, kSoundWindowSamples, 0.01f);
    push_to_sound_ring(&ring, samples.data(), kSoundWindowSamples, 1, 48000);
    analyse_sound(&analysis, ring, image);
    const int first = image[100];
    analyse_settled();
    // A fifth of the magnitude is 14 dB down: about 51 steps of 255 / 70 dB.
    EXPECT_NEAR(image[100] - first, 51, 2);
}

TEST_F(AnalysedSound, TheWaveformRowHoldsTheNewestSamples) {
    std::vector<float> samples(kSoundWindowSamples + 100, 0.0f);
    samples.back() = 0.5f;                        // the newest: the row's last texel
    samples[samples.size() - 512] = -0.5f;        // the oldest the row shows
    samples[samples.size() - 513] = 1.0f;         // one too old for it
    samples[samples.size() - 2] = 2.0f;           // clamped
    samples[samples.size() - 3] = -3.0f;          // clamped
    samples[samples.size() - 4] = std::nanf("");  // silence
    push_to_sound_ring(&ring, samples.data(), static_cast<int>(samples.size()), 1, 48000);
    analyse_sound(&analysis, ring, image);
    const unsigned char* wave = image + kSoundImageWidth;
    EXPECT_EQ(wave[511], 192);
    EXPECT_EQ(wave[0], 64);
    EXPECT_EQ(wave[510], 255);
    EXPECT_EQ(wave[509], 0);
    EXPECT_EQ(wave[508], 128);
    EXPECT_EQ(wave[1], 128);
}

TEST_F(AnalysedSound, SilenceReadsAsSilence) {
    unsigned char expected[kSoundImageBytes];
    silent_sound_image(expected);
    for (int x = 0; x < kSoundImageWidth; ++x) {
        ASSERT_EQ(expected[x], 0);
        ASSERT_EQ(expected[kSoundImageWidth + x], 128);
    }
    // Nothing pushed, and zeros pushed in stereo, analyse to the same image.
    analyse_settled();
    EXPECT_EQ(std::vector<unsigned char>(image, image + kSoundImageBytes),
              std::vector<unsigned char>(expected, expected + kSoundImageBytes));
    const std::vector<float> zeros(2 * kSoundWindowSamples, 0.0f);
    push_to_sound_ring(&ring, zeros.data(), kSoundWindowSamples, 2, 48000);
    analyse_settled();
    EXPECT_EQ(std::vector<unsigned char>(image, image + kSoundImageBytes),
              std::vector<unsigned char>(expected, expected + kSoundImageBytes));
}

TEST(Fft, MatchesTheDirectTransformAndRefusesCountsThatAreNoPowerOfTwo) {
    const int count = 64;
    std::vector<float> real(count), imag(count);
    for (int n = 0; n < count; ++n) {
        real[n] = static_cast<float>(std::sin(0.3 * n) + 0.25 * n / count);
        imag[n] = static_cast<float>(std::cos(1.7 * n));
    }
    const std::vector<float> input_real = real, input_imag = imag;
    ASSERT_TRUE(fft_radix2(real.data(), imag.data(), count));
    for (int k = 0; k < count; ++k) {
        double sum_real = 0.0, sum_imag = 0.0;
        for (int n = 0; n < count; ++n) {
            const double angle = -2.0 * kPi * k * n / count;
            sum_real += input_real[n] * std::cos(angle) - input_imag[n] * std::sin(angle);
            sum_imag += input_real[n] * std::sin(angle) + input_imag[n] * std::cos(angle);
        }
        EXPECT_NEAR(real[k], sum_real, 1e-3) << "bin " << k;
        EXPECT_NEAR(imag[k], sum_imag, 1e-3) << "bin " << k;
    }
    float three[3] = {1.0f, 2.0f, 3.0f};
    float zero[3] = {};
    EXPECT_FALSE(fft_radix2(three, zero, 3));
    EXPECT_EQ(three[1], 2.0f);
}
