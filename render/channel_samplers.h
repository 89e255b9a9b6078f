#pragma once
// The sampler options channel directives give: a sampler object on every
// unit whose directive had options, the images read in their file's row
// order (vflip=false), and buffers read with mipmaps (filter=mipmap), whose
// mipmapped copies are made anew after each draw of the buffer.

#include <GL/glew.h>

#include "render/builtin_images.h"
#include "render/render_resources.h"
#include "shader/pass_set.h"

struct MipmappedCopy {
    GLuint texture;
    int width;
    int height;
};

struct ChannelSamplersState {
    ChannelSampling sampling[kChannelBindingCount];
    GLuint samplers[kChannelBindingCount];  // 0 where the directive gave no option
    // Made on first use and kept until the resources go.
    GLuint unflipped_images[kBuiltinImageCount];
    // A copy of the buffer with a full mipmap chain, while a channel asks.
    MipmappedCopy mipmapped_buffers[kRenderTargetCount];
};

extern ChannelSamplersState ChannelSamplers;

// At an install, after ChannelBindings were filled: the options of every unit.
void use_channel_sampling(const ChannelSampling sampling[kChannelBindingCount]);

// After the units were bound: binds the sampler objects and puts the
// unflipped images and mipmapped buffers on the units that ask for them.
void bind_channel_samplers();

// After buffer `index` was drawn: its mipmapped copy, if any, follows.
void refresh_buffer_mipmaps(int index);

void delete_channel_samplers();
