#pragma once
// The cubemaps every pass set can name, painted by the program itself: a sky
// with a horizon and a sun, a starfield and a soft studio light. Each is made
// the first time a set names it.

#include <GL/glew.h>

#include <cstdint>

constexpr int kBuiltinCubemapCount = 3;
constexpr int kBuiltinCubemapFaceSize = 256;

// The direction through texel (x, y) of `face` (GL's order: +X, -X, +Y, -Y,
// +Z, -Z; row 0 is the face's first row as GL reads it), not normalised.
void cubemap_texel_direction(int face, int x, int y, float direction[3]);

// The RGBA8 texel (x, y) of `face` of cubemap `cubemap` (as in the channel
// table: sky, starfield, studio).
void builtin_cubemap_texel(int cubemap, int face, int x, int y, uint8_t rgba[4]);

// Enters the cubemaps in the channel table; their textures come on first use.
void enter_builtin_cubemaps();
// The cubemaps that were made; the table is cleared by its owner.
void delete_builtin_cubemaps();
