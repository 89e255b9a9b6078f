#pragma once
// How a channel samples its texture, as the options after the name in a
// directive give it: "#pragma iChannel0 BufferA filter=nearest wrap=repeat".
// What is not given stays as the texture has it.

#include <cstddef>
#include <cstdint>

enum class ChannelFilter : uint8_t { Unset, Nearest, Linear, Mipmap };
enum class ChannelWrap : uint8_t { Unset, Clamp, Repeat };

struct ChannelSampling {
    ChannelFilter filter;
    ChannelWrap wrap;
    // Images are stored bottom row first; vflip=false keeps the file's order.
    bool unflipped;
};

// Whether any option was given.
bool sampling_given(const ChannelSampling& sampling);

// Applies one "name=value" token, ignoring ASCII letter case; false for an
// unknown name or value, or vflip where `is_image` is false.
bool apply_sampling_option(const char* token, size_t length, bool is_image, ChannelSampling* sampling);

// " filter=nearest wrap=repeat vflip=false" for what is given, "" for none;
// valid until the next call.
const char* sampling_options_text(const ChannelSampling& sampling);
