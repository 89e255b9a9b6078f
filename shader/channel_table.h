#pragma once
// What a channel directive can name: the built-in images, the four buffers,
// the keyboard, the cube pass's cubemap, the built-in volumes and cubemaps, each with the texture a
// channel then samples.

#include <GL/glew.h>

#include <cstddef>

struct ChannelTableEntry {
    const char* name;  // a constant of the program; empty for unused entries
    GLuint texture;
    GLenum target = GL_TEXTURE_2D;  // or GL_TEXTURE_3D, GL_TEXTURE_CUBE_MAP
    // Makes the texture the first time a directive names the entry, for
    // textures that cost to make and that most sets never read.
    GLuint (*make_texture)() = nullptr;
};

constexpr int kChannelTableSize = 32;
constexpr int kFirstBufferEntry = 20;  // "BufferA" .. "BufferD"
constexpr int kKeyboardEntry = 24;
constexpr int kCubeAEntry = 25;         // "CubeA", a cubemap
constexpr int kFirstVolumeEntry = 26;   // two volumes
constexpr int kFirstCubemapEntry = 28;  // three cubemaps
constexpr int kSoundEntry = kChannelTableSize - 1;  // "Sound"

extern ChannelTableEntry ChannelTable[kChannelTableSize];

// Every entry empty, texture 0.
void clear_channel_table();

// The first entry whose whole name equals the `length` characters at `name`,
// ignoring ASCII letter case, or -1. Empty names never match.
int find_channel_table_entry(const char* name, size_t length);

// The entry's texture, made now if it is made on first use; 0 when it
// could not be made.
GLuint channel_table_texture(int entry);

// Whole-name comparison ignoring ASCII letter case; `text` need not be
// zero-terminated.
bool names_equal_ignoring_case(const char* text, size_t length, const char* name);
