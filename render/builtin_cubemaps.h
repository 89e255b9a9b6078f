#pragma once
// The cubemaps every pass set can name, painted by the program itself: a sky
// with a horizon and a sun, a starfield and a soft studio light. Each is made
// the first time a set names it.

#include <GL/glew.h>

#include <cstdint>

constexpr int kBuiltinCubemapCount = 3;
constexpr int kBuiltinCubemapFaceSize = 256;

// Each face's axes as a column-major 3 x 3 matrix, in GL's face order (+X,
// -X, +Y, -Y, +Z, -Z): s × column 0 + t × column 1 + column 2 is the
// direction through the point (s, t) of the face, s and t from -1 to 1,
// s along its rows and t down its columns.
extern const float kCubemapFaceAxes[6][9];

// The direction through texel (x, y) of `face` (row 0 is the face's first
// row as GL reads it) of a face kBuiltinCubemapFaceSize wide, not normalised.
void cubemap_texel_direction(int face, int x, int y, float direction[3]);

// The RGBA8 texel (x, y) of `face` of cubemap `cubemap` (as in the channel
// table: sky, starfield, studio).
void builtin_cubemap_texel(int cubemap, int face, int x, int y, uint8_t rgba[4]);

// Enters the cubemaps in the channel table; their textures come on first use.
void enter_builtin_cubemaps();
// The cubemaps that were made; the table is cleared by its owner.
void delete_builtin_cubemaps();
