#pragma once
// What the Sound channel shows, as the shader-sharing convention has it: a
// 512 x 2 image of bytes whose row 0 is the spectrum of the newest 2048
// samples of the mono downmix (Blackman window, magnitudes smoothed over
// frames, -100..-30 dB over 0..255) and whose row 1 is the newest 512
// samples themselves (128 x (1 + v)). No GL here: the texture is elsewhere.

constexpr int kSoundWindowSamples = 2048;
constexpr int kSoundImageWidth = 512;
constexpr int kSoundImageHeight = 2;
constexpr int kSoundImageBytes = kSoundImageWidth * kSoundImageHeight;

// The newest samples, mono, oldest overwritten first.
struct SoundRing {
    float mono[kSoundWindowSamples];
    int next;  // where the next sample goes
    int rate;  // samples per second of the last push; 0 before any
};

// Frames of `channels` interleaved samples; each frame goes in as the mean
// of its channels. A sample that is not a number goes in as silence, so it
// cannot linger in the smoothing.
void push_to_sound_ring(SoundRing* ring, const float* interleaved, int frames, int channels, int rate);
void clear_sound_ring(SoundRing* ring);

// The smoothing carries each bin's magnitude from frame to frame.
struct SoundAnalysis {
    float smoothed[kSoundImageWidth];
};

void clear_sound_analysis(SoundAnalysis* analysis);

// One frame: both rows of `image` (row 0 first) from the ring's samples.
void analyse_sound(SoundAnalysis* analysis, const SoundRing& ring, unsigned char image[kSoundImageBytes]);

// What silence reads: spectrum 0, waveform 128.
void silent_sound_image(unsigned char image[kSoundImageBytes]);
