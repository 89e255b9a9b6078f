#include "shader/channel_table.h"

#include <cstring>

ChannelTableEntry ChannelTable[kChannelTableSize];

void clear_channel_table() {
    for (ChannelTableEntry& entry : ChannelTable) entry = ChannelTableEntry{"", 0, GL_TEXTURE_2D, nullptr};
}

// Locale-independent on purpose: a Turkish locale must not change which
// image "RGBA_NOISE.PNG" names.
static char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool names_equal_ignoring_case(const char* text, size_t length, const char* name) {
    if (strlen(name) != length) return false;
    for (size_t index = 0; index < length; ++index) {
        if (lower_ascii(text[index]) != lower_ascii(name[index])) return false;
    }
    return true;
}

int find_channel_table_entry(const char* name, size_t length) {
    if (length == 0) return -1;
    for (int entry = 0; entry < kChannelTableSize; ++entry) {
        const char* entry_name = ChannelTable[entry].name;
        if (entry_name && names_equal_ignoring_case(name, length, entry_name)) return entry;
    }
    return -1;
}

GLuint channel_table_texture(int entry) {
    ChannelTableEntry& named = ChannelTable[entry];
    if (named.texture == 0 && named.make_texture) named.texture = named.make_texture();
    return named.texture;
}
