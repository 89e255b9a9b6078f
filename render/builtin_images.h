#pragma once
// The twenty images every pass set can name, held in the executable.

#include <cstdint>

struct BuiltinImage {
    const char* name;  // the file name a directive uses, extension included
    const unsigned char* bytes;
    uint64_t size;
};

constexpr int kBuiltinImageCount = 20;
// Channels without a texture sample this one ("rgba_noise.png").
constexpr int kDefaultChannelImage = 0;

extern const BuiltinImage BuiltinImages[kBuiltinImageCount];
