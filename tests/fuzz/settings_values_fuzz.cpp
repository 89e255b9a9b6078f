// The values of lumenfold.ini, as a hand edit may leave them.
#include <cstdlib>
#include <cstring>

#include "app/player_settings.h"
#include "render/playing_set.h"
#include "tests/fuzz/fuzz_input.h"

struct Values {
    std::vector<std::string> pieces;
};

// Each key takes the piece of its place; an empty piece stands for a key
// that is missing.
static const char* text_of(const char* key, void* user) {
    static const char* const kKeys[] = {"frame_rate", "render_scale", "pause_when_covered", "pause_on_battery_saver"};
    const Values* values = static_cast<const Values*>(user);
    for (size_t index = 0; index < 4; ++index) {
        if (strcmp(key, kKeys[index]) != 0) continue;
        if (index >= values->pieces.size() || values->pieces[index].empty()) return nullptr;
        return values->pieces[index].c_str();
    }
    return nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_log();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Values values{split_at_zeros(data, size, 4)};
    const PlayerSettings settings = read_player_settings(text_of, &values);
    if (settings.frame_rate < 0 || settings.frame_rate > kHighestFrameRate) __builtin_trap();
    if (settings.render_scale < kMinimumRenderScale || settings.render_scale > kFullRenderScale) __builtin_trap();
    const int read = read_setting("key", values.pieces[0].c_str(), 7, -3, 3);
    if (read != 7 && (read < -3 || read > 3)) __builtin_trap();
    return 0;
}
