#pragma once
// The CPU copy of the uniform block every pass declares (std140, binding 0).
// Its byte layout is what the shaders read, so it is checked at compile time.

#include <cstddef>
#include <cstdint>

struct FrameUniformsBlock {
    float iChannelResolution[4][4];  // vec3[4], stride 16; the fourth float stays 0
    float iResolution[4];            // vec3; the fourth float stays 0
    float iMouse[4];
    float iDate[4];            // year, month (0-based), day, seconds since midnight
    float iChannelTime[4][4];  // float[4], stride 16; only the first float of each is used
    float iTime;
    float iSampleRate;
    float iTimeDelta;
    float iFrameRate;
    int32_t iFrame;
    uint8_t block_end[12];
};

static_assert(sizeof(FrameUniformsBlock) == 208, "the block is 208 bytes");
static_assert(offsetof(FrameUniformsBlock, iChannelResolution) == 0, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iResolution) == 64, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iMouse) == 80, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iDate) == 96, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iChannelTime) == 112, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iTime) == 176, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iSampleRate) == 180, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iTimeDelta) == 184, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iFrameRate) == 188, "std140 offset");
static_assert(offsetof(FrameUniformsBlock, iFrame) == 192, "std140 offset");

// Blocks of a buffer bound by range sit at multiples of the GL's offset
// alignment, which the GL may set no higher than 256.
constexpr int kLargestUniformBlockStride = 256;
