#include "render/channel_samplers.h"

#include <cstring>

#include "render/builtin_images.h"
#include "render/playing_set.h"
#include "render/render_resources.h"
#include "render/texture_loading.h"
#include "shader/channel_table.h"

static_assert(kSampledBufferCount == kRenderTargetCount, "a copy per buffer");

// Made on first use and kept until the resources go.
static GLuint unflipped_images[kBuiltinImageCount];

static bool is_builtin_image(GLuint texture, int* image) {
    for (int index = 0; index < kBuiltinImageCount; ++index) {
        if (texture && RenderResources.image_textures[index] == texture) {
            *image = index;
            return true;
        }
    }
    return false;
}

static int buffer_of(const PlayingSet& set, GLuint texture) {
    for (int index = 0; index < kRenderTargetCount; ++index) {
        if (texture && set.targets[index].colour_texture == texture) return index;
    }
    return -1;
}

static GLint min_filter(ChannelFilter filter) {
    if (filter == ChannelFilter::Nearest) return GL_NEAREST;
    if (filter == ChannelFilter::Linear) return GL_LINEAR;
    return GL_LINEAR_MIPMAP_LINEAR;
}

// What a texture is read with before a directive says otherwise.
struct SamplingDefaults {
    bool mipmapped;
    bool repeats;
};

// Images and volumes are mipmapped and repeat, cubemaps are mipmapped and
// clamped (the edges are the cube's own), buffers and the keyboard linear
// and clamped.
static SamplingDefaults defaults_of(GLuint texture) {
    int image = 0;
    if (is_builtin_image(texture, &image)) return SamplingDefaults{true, true};
    for (int entry = kFirstVolumeEntry; entry < kChannelTableSize; ++entry) {
        if (texture == 0 || ChannelTable[entry].texture != texture) continue;
        if (ChannelTable[entry].target == GL_TEXTURE_3D) return SamplingDefaults{true, true};
        if (ChannelTable[entry].target == GL_TEXTURE_CUBE_MAP) return SamplingDefaults{true, false};
    }
    return SamplingDefaults{false, false};
}

// A sampler object replaces every setting of the texture, so what the
// directive left unset keeps the texture's own.
static GLuint create_sampler(const ChannelSampling& sampling, SamplingDefaults defaults) {
    const ChannelFilter filter = sampling.filter != ChannelFilter::Unset ? sampling.filter
                                 : defaults.mipmapped                    ? ChannelFilter::Mipmap
                                                                         : ChannelFilter::Linear;
    const ChannelWrap wrap = sampling.wrap != ChannelWrap::Unset ? sampling.wrap
                             : defaults.repeats                  ? ChannelWrap::Repeat
                                                                 : ChannelWrap::Clamp;
    GLuint sampler = 0;
    glCreateSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, min_filter(filter));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, filter == ChannelFilter::Nearest ? GL_NEAREST : GL_LINEAR);
    const GLint wrap_mode = wrap == ChannelWrap::Repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap_mode);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap_mode);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, wrap_mode);
    return sampler;
}

static void delete_samplers(ChannelSamplerSet* samplers) {
    for (GLuint& sampler : samplers->samplers) {
        if (sampler) glDeleteSamplers(1, &sampler);
        sampler = 0;
    }
}

static void delete_mipmapped_copies(ChannelSamplerSet* samplers) {
    for (MipmappedCopy& copy : samplers->mipmapped_buffers) {
        if (copy.texture) glDeleteTextures(1, &copy.texture);
        copy = MipmappedCopy{0, 0, 0};
    }
}

void use_channel_sampling(PlayingSet* set, const ChannelSampling sampling[kChannelBindingCount]) {
    ChannelSamplerSet* samplers = &set->samplers;
    delete_samplers(samplers);
    // Copies of the last pass set's buffers would show its pictures for a frame.
    delete_mipmapped_copies(samplers);
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        samplers->sampling[unit] = sampling[unit];
        // CubeA has no mipmapped copy: it is read linearly, as a mipmap
        // filter on its one level would read nothing.
        ChannelFilter& filter = samplers->sampling[unit].filter;
        if (filter == ChannelFilter::Mipmap && set->channels[unit] == set->cube_target.colour_texture) {
            filter = ChannelFilter::Linear;
        }
        if (!sampling_given(samplers->sampling[unit])) continue;
        samplers->samplers[unit] = create_sampler(samplers->sampling[unit], defaults_of(set->channels[unit]));
    }
}

static GLuint unflipped_image(int image) {
    GLuint& texture = unflipped_images[image];
    if (texture) return texture;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    const BuiltinImage& source = BuiltinImages[image];
    load_texture(texture, source.bytes, static_cast<int32_t>(source.size), true);
    return texture;
}

static int full_chain_levels(int width, int height) {
    int longer = width > height ? width : height;
    int levels = 1;
    while (longer > 1) {
        longer >>= 1;
        ++levels;
    }
    return levels;
}

// A copy of the buffer's size, cleared, as the buffer is after an install.
static GLuint mipmapped_copy(PlayingSet* set, int index) {
    const RenderTarget& target = set->targets[index];
    MipmappedCopy& copy = set->samplers.mipmapped_buffers[index];
    if (copy.texture && copy.width == target.width && copy.height == target.height) return copy.texture;
    if (copy.texture) glDeleteTextures(1, &copy.texture);
    const int levels = full_chain_levels(target.width, target.height);
    glCreateTextures(GL_TEXTURE_2D, 1, &copy.texture);
    glTextureStorage2D(copy.texture, levels, GL_RGBA32F, target.width, target.height);
    for (int level = 0; level < levels; ++level) glClearTexImage(copy.texture, level, GL_RGBA, GL_FLOAT, nullptr);
    copy.width = target.width;
    copy.height = target.height;
    return copy.texture;
}

void bind_channel_samplers(PlayingSet* set) {
    glBindSamplers(0, kChannelBindingCount, set->samplers.samplers);
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        if (!set->samplers.samplers[unit]) continue;
        const ChannelSampling& sampling = set->samplers.sampling[unit];
        int image = 0;
        if (sampling.unflipped && is_builtin_image(set->channels[unit], &image)) {
            glBindTextureUnit(static_cast<GLuint>(unit), unflipped_image(image));
        }
        const int buffer = buffer_of(*set, set->channels[unit]);
        if (sampling.filter == ChannelFilter::Mipmap && buffer >= 0) {
            glBindTextureUnit(static_cast<GLuint>(unit), mipmapped_copy(set, buffer));
        }
    }
}

void refresh_buffer_mipmaps(PlayingSet* set, int index) {
    const MipmappedCopy& copy = set->samplers.mipmapped_buffers[index];
    const RenderTarget& target = set->targets[index];
    if (!copy.texture || copy.width != target.width || copy.height != target.height) return;
    glCopyImageSubData(target.colour_texture, GL_TEXTURE_2D, 0, 0, 0, 0, copy.texture, GL_TEXTURE_2D, 0, 0, 0, 0,
                       target.width, target.height, 1);
    glGenerateTextureMipmap(copy.texture);
}

void delete_channel_samplers(PlayingSet* set) {
    for (int unit = 0; unit < kChannelBindingCount; ++unit) glBindSampler(static_cast<GLuint>(unit), 0);
    delete_samplers(&set->samplers);
    delete_mipmapped_copies(&set->samplers);
    memset(set->samplers.sampling, 0, sizeof set->samplers.sampling);
}

void delete_unflipped_images() {
    for (GLuint& texture : unflipped_images) {
        if (texture) glDeleteTextures(1, &texture);
        texture = 0;
    }
}
