#pragma once
// The sampler options channel directives give: a sampler object on every
// unit whose directive had options, the images read in their file's row
// order (vflip=false), and buffers read with mipmaps (filter=mipmap), whose
// mipmapped copies are made anew after each draw of the buffer. Samplers and
// copies belong to a playing set; the unflipped images are shared.

#include <GL/glew.h>

#include "shader/pass_set.h"

constexpr int kSampledBufferCount = 4;  // BufferA..BufferD

struct MipmappedCopy {
    GLuint texture;
    int width;
    int height;
};

struct ChannelSamplerSet {
    ChannelSampling sampling[kChannelBindingCount];
    GLuint samplers[kChannelBindingCount];  // 0 where the directive gave no option
    // A copy of the buffer with a full mipmap chain, while a channel asks.
    MipmappedCopy mipmapped_buffers[kSampledBufferCount];
};

struct PlayingSet;

// At an install, after the set's channels were filled: the options of every
// unit.
void use_channel_sampling(PlayingSet* set, const ChannelSampling sampling[kChannelBindingCount]);

// After the set's units were bound: binds the sampler objects and puts the
// unflipped images and mipmapped buffers on the units that ask for them.
void bind_channel_samplers(PlayingSet* set);

// After buffer `index` was drawn: its mipmapped copy, if any, follows.
void refresh_buffer_mipmaps(PlayingSet* set, int index);

// The set's samplers and copies.
void delete_channel_samplers(PlayingSet* set);
// The images every set shares, with the other shared resources.
void delete_unflipped_images();
