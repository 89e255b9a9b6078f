#include "render/sound_texture.h"

#include "render/playing_set.h"
#include "render/sound_analysis.h"
#include "render/texture_loading.h"
#include "shader/channel_table.h"

struct SoundTextureState {
    GLuint texture;
    SoundRing ring;
    SoundAnalysis analysis;
    // Samples came since the last silence; the texture then needs filling.
    bool heard;
    bool texture_silent;
};

static SoundTextureState SoundChannel;

void push_sound_samples(const float* interleaved, int frames, int channels, int rate) {
    if (frames <= 0 || channels <= 0) return;
    push_to_sound_ring(&SoundChannel.ring, interleaved, frames, channels, rate);
    SoundChannel.heard = true;
}

void silence_sound() {
    // Called every frame no set listens: nothing heard, nothing to forget.
    if (!SoundChannel.heard) return;
    clear_sound_ring(&SoundChannel.ring);
    clear_sound_analysis(&SoundChannel.analysis);
    SoundChannel.heard = false;
}

static void upload(const unsigned char image[kSoundImageBytes]) {
    glTextureSubImage2D(SoundChannel.texture, 0, 0, 0, kSoundImageWidth, kSoundImageHeight, GL_RED, GL_UNSIGNED_BYTE,
                        image);
}

static void upload_silence() {
    unsigned char image[kSoundImageBytes];
    silent_sound_image(image);
    upload(image);
    SoundChannel.texture_silent = true;
}

void create_sound_texture() {
    glCreateTextures(GL_TEXTURE_2D, 1, &SoundChannel.texture);
    glTextureStorage2D(SoundChannel.texture, 1, GL_R8, kSoundImageWidth, kSoundImageHeight);
    set_texture_sampling(SoundChannel.texture, GL_LINEAR, GL_CLAMP_TO_EDGE);
    // Rows of 512 single bytes: the default 4-byte alignment fits them.
    silence_sound();
    upload_silence();
    ChannelTable[kSoundEntry] = ChannelTableEntry{"Sound", SoundChannel.texture};
}

void destroy_sound_texture() {
    if (SoundChannel.texture) glDeleteTextures(1, &SoundChannel.texture);
    SoundChannel.texture = 0;
    silence_sound();
}

GLuint sound_texture() { return SoundChannel.texture; }

void fill_sound_texture() {
    if (!SoundChannel.texture) return;
    if (!SoundChannel.heard) {
        if (!SoundChannel.texture_silent) upload_silence();
        return;
    }
    unsigned char image[kSoundImageBytes];
    analyse_sound(&SoundChannel.analysis, SoundChannel.ring, image);
    upload(image);
    SoundChannel.texture_silent = false;
}

bool set_samples_sound(const PlayingSet& set) {
    if (!SoundChannel.texture) return false;
    for (GLuint texture : set.channels) {
        if (texture == SoundChannel.texture) return true;
    }
    return false;
}
