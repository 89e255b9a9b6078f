#include "render/builtin_volumes.h"

#include <cstdlib>

#include "base/bit_mixing.h"
#include "base/log.h"
#include "render/texture_loading.h"
#include "shader/channel_table.h"

static const char* const kVolumeNames[kBuiltinVolumeCount] = {"gray_noise_volume", "rgba_noise_volume"};
static const int kVolumeChannels[kBuiltinVolumeCount] = {1, 4};


uint8_t noise_volume_texel(int x, int y, int z, int channel, int channels) {
    const uint32_t index = static_cast<uint32_t>(((z * kBuiltinVolumeSize + y) * kBuiltinVolumeSize + x) * 4 + channel);
    // The grey volume is not the RGBA one's red: a set reading both sees two noises.
    return static_cast<uint8_t>(mixed_bits(index + (channels == 1 ? 0x9e3779b9U : 0U)) >> 24);
}

static GLuint make_volume(int volume) {
    const int channels = kVolumeChannels[volume];
    const int size = kBuiltinVolumeSize;
    uint8_t* texels = static_cast<uint8_t*>(malloc(static_cast<size_t>(size) * size * size * channels));
    if (!texels) {
        log_message("no memory for the volume %s", kVolumeNames[volume]);
        return 0;
    }
    uint8_t* texel = texels;
    for (int z = 0; z < size; ++z) {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                for (int channel = 0; channel < channels; ++channel) *texel++ = noise_volume_texel(x, y, z, channel, channels);
            }
        }
    }
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_3D, 1, &texture);
    // One level: noise has no coarser picture worth the mipmapping, and a
    // one-level texture is complete for filter=mipmap too.
    glTextureStorage3D(texture, 1, channels == 1 ? GL_R8 : GL_RGBA8, size, size, size);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTextureSubImage3D(texture, 0, 0, 0, 0, size, size, size, channels == 1 ? GL_RED : GL_RGBA, GL_UNSIGNED_BYTE,
                        texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    free(texels);
    set_texture_sampling(texture, GL_LINEAR, GL_REPEAT);
    return texture;
}

static GLuint make_gray_volume() { return make_volume(0); }
static GLuint make_rgba_volume() { return make_volume(1); }

void enter_builtin_volumes() {
    ChannelTable[kFirstVolumeEntry] = ChannelTableEntry{kVolumeNames[0], 0, GL_TEXTURE_3D, make_gray_volume};
    ChannelTable[kFirstVolumeEntry + 1] = ChannelTableEntry{kVolumeNames[1], 0, GL_TEXTURE_3D, make_rgba_volume};
}

void delete_builtin_volumes() {
    for (int volume = 0; volume < kBuiltinVolumeCount; ++volume) {
        GLuint& texture = ChannelTable[kFirstVolumeEntry + volume].texture;
        if (texture) glDeleteTextures(1, &texture);
        texture = 0;
    }
}
