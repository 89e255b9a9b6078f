// The directive lines of a pass text, whatever an editor saved.
#include <cstring>

#include "shader/channel_directives.h"
#include "shader/channel_table.h"
#include "tests/fuzz/fuzz_input.h"

static const char* const kNames[] = {"rgba_noise.png", "organic1.jpg", "BufferA", "BufferB", "BufferC",
                                     "BufferD",        "Keyboard"};

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_log();
    clear_channel_table();
    for (size_t entry = 0; entry < sizeof kNames / sizeof kNames[0]; ++entry) {
        ChannelTable[entry] = ChannelTableEntry{kNames[entry], static_cast<GLuint>(entry + 1)};
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int pass = size > 0 ? data[0] % kPassCount : 0;
    const std::string text = size > 0 ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : "";
    PassSetResult result;
    memset(&result, 0, sizeof result);
    parse_channel_directives(text.c_str(), pass, &result);
    for (int unit = 0; unit < kChannelBindingCount; ++unit) {
        // Only this pass's channels may be written, and only with a listed texture.
        if (unit / kChannelsPerPass != pass && result.channels[unit] != 0) __builtin_trap();
        if (result.channels[unit] > sizeof kNames / sizeof kNames[0]) __builtin_trap();
    }
    return 0;
}
