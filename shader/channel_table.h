#pragma once
// What a channel directive can name: the built-in images, the four buffers
// and the keyboard, each with the texture a channel then samples.

#include <GL/glew.h>

#include <cstddef>

struct ChannelTableEntry {
    const char* name;  // a constant of the program; empty for unused entries
    GLuint texture;
};

constexpr int kChannelTableSize = 32;
constexpr int kFirstBufferEntry = 20;  // "BufferA" .. "BufferD"
constexpr int kKeyboardEntry = 24;
constexpr int kSoundEntry = kChannelTableSize - 1;  // "Sound"

extern ChannelTableEntry ChannelTable[kChannelTableSize];

// Every entry empty, texture 0.
void clear_channel_table();

// The first entry whose whole name equals the `length` characters at `name`,
// ignoring ASCII letter case, or -1. Empty names never match.
int find_channel_table_entry(const char* name, size_t length);

// Whole-name comparison ignoring ASCII letter case; `text` need not be
// zero-terminated.
bool names_equal_ignoring_case(const char* text, size_t length, const char* name);
