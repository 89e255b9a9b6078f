#include "shader/channel_sampling.h"

#include <cstdio>
#include <cstring>

#include "shader/channel_table.h"

static const char* const kFilterNames[] = {"", "nearest", "linear", "mipmap"};
static const char* const kWrapNames[] = {"", "clamp", "repeat"};

bool sampling_given(const ChannelSampling& sampling) {
    return sampling.filter != ChannelFilter::Unset || sampling.wrap != ChannelWrap::Unset || sampling.unflipped;
}

static bool option_named(const char* token, size_t name_length, const char* name) {
    return names_equal_ignoring_case(token, name_length, name);
}

// The index of `value` among `names` from 1 on, or 0.
static int value_index(const char* value, size_t length, const char* const* names, int count) {
    for (int index = 1; index < count; ++index) {
        if (names_equal_ignoring_case(value, length, names[index])) return index;
    }
    return 0;
}

bool apply_sampling_option(const char* token, size_t length, bool is_image, ChannelSampling* sampling) {
    const char* equals = static_cast<const char*>(memchr(token, '=', length));
    if (!equals) return false;
    const size_t name_length = static_cast<size_t>(equals - token);
    const char* value = equals + 1;
    const size_t value_length = length - name_length - 1;
    if (option_named(token, name_length, "filter")) {
        const int index = value_index(value, value_length, kFilterNames, 4);
        if (index) sampling->filter = static_cast<ChannelFilter>(index);
        return index != 0;
    }
    if (option_named(token, name_length, "wrap")) {
        const int index = value_index(value, value_length, kWrapNames, 3);
        if (index) sampling->wrap = static_cast<ChannelWrap>(index);
        return index != 0;
    }
    if (option_named(token, name_length, "vflip") && is_image) {
        const bool is_false = names_equal_ignoring_case(value, value_length, "false");
        if (!is_false && !names_equal_ignoring_case(value, value_length, "true")) return false;
        sampling->unflipped = is_false;
        return true;
    }
    return false;
}

const char* sampling_options_text(const ChannelSampling& sampling) {
    static char text[64];
    text[0] = '\0';
    size_t used = 0;
    if (sampling.filter != ChannelFilter::Unset) {
        used += static_cast<size_t>(
            snprintf(text + used, sizeof text - used, " filter=%s", kFilterNames[static_cast<int>(sampling.filter)]));
    }
    if (sampling.wrap != ChannelWrap::Unset) {
        used += static_cast<size_t>(
            snprintf(text + used, sizeof text - used, " wrap=%s", kWrapNames[static_cast<int>(sampling.wrap)]));
    }
    if (sampling.unflipped) snprintf(text + used, sizeof text - used, " vflip=false");
    return text;
}
