#include "render/sound_analysis.h"

#include <cmath>
#include <cstring>

#include "base/fft.h"

static const float kSmoothing = 0.8f;
static const float kQuietestDecibels = -100.0f;
static const float kLoudestDecibels = -30.0f;
static const unsigned char kSilentWave = 128;

void clear_sound_ring(SoundRing* ring) { memset(ring, 0, sizeof *ring); }

void push_to_sound_ring(SoundRing* ring, const float* interleaved, int frames, int channels, int rate) {
    if (!interleaved || frames <= 0 || channels <= 0) return;
    ring->rate = rate;
    // Only the newest window's worth can stay.
    if (frames > kSoundWindowSamples) {
        interleaved += static_cast<long long>(frames - kSoundWindowSamples) * channels;
        frames = kSoundWindowSamples;
    }
    for (int frame = 0; frame < frames; ++frame) {
        const float* samples = interleaved + static_cast<long long>(frame) * channels;
        float sum = 0.0f;
        for (int channel = 0; channel < channels; ++channel) sum += samples[channel];
        const float mono = sum / static_cast<float>(channels);
        ring->mono[ring->next] = std::isfinite(mono) ? mono : 0.0f;
        ring->next = (ring->next + 1) % kSoundWindowSamples;
    }
}

void clear_sound_analysis(SoundAnalysis* analysis) { memset(analysis, 0, sizeof *analysis); }

void silent_sound_image(unsigned char image[kSoundImageBytes]) {
    memset(image, 0, kSoundImageWidth);
    memset(image + kSoundImageWidth, kSilentWave, kSoundImageWidth);
}

struct BlackmanWindow {
    float weights[kSoundWindowSamples];
};

static BlackmanWindow make_blackman_window() {
    BlackmanWindow window;
    const double pi = 3.14159265358979323846;
    for (int n = 0; n < kSoundWindowSamples; ++n) {
        const double phase = 2.0 * pi * n / kSoundWindowSamples;
        window.weights[n] = static_cast<float>(0.42 - 0.5 * std::cos(phase) + 0.08 * std::cos(2.0 * phase));
    }
    return window;
}

static unsigned char spectrum_byte(float magnitude) {
    if (!(magnitude > 0.0f)) return 0;
    const float decibels = 20.0f * std::log10(magnitude);
    const float scaled = (decibels - kQuietestDecibels) * 255.0f / (kLoudestDecibels - kQuietestDecibels);
    if (scaled <= 0.0f) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<unsigned char>(scaled);
}

static unsigned char wave_byte(float value) {
    const float scaled = std::floor(128.0f * (1.0f + value));
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<unsigned char>(scaled);
}

void analyse_sound(SoundAnalysis* analysis, const SoundRing& ring, unsigned char image[kSoundImageBytes]) {
    static const BlackmanWindow window = make_blackman_window();
    float real[kSoundWindowSamples];
    float imag[kSoundWindowSamples];
    // Oldest first: the ring's next slot holds the oldest sample.
    for (int n = 0; n < kSoundWindowSamples; ++n) {
        real[n] = ring.mono[(ring.next + n) % kSoundWindowSamples] * window.weights[n];
        imag[n] = 0.0f;
    }
    fft_radix2(real, imag, kSoundWindowSamples);
    for (int bin = 0; bin < kSoundImageWidth; ++bin) {
        // Divided by the window's length, so a full-scale sine sits near
        // -14 dB whatever the length.
        const float magnitude = std::sqrt(real[bin] * real[bin] + imag[bin] * imag[bin]) / kSoundWindowSamples;
        float& smoothed = analysis->smoothed[bin];
        smoothed = kSmoothing * smoothed + (1.0f - kSmoothing) * magnitude;
        image[bin] = spectrum_byte(smoothed);
    }
    const int first_wave_sample = kSoundWindowSamples - kSoundImageWidth;
    for (int x = 0; x < kSoundImageWidth; ++x) {
        image[kSoundImageWidth + x] = wave_byte(ring.mono[(ring.next + first_wave_sample + x) % kSoundWindowSamples]);
    }
}
