#pragma once
// Decodes an encoded image held in memory into a mipmapped RGBA8 texture.

#include <GL/glew.h>

#include <cstdint>

// `texture` was created for GL_TEXTURE_2D and has no storage yet. Row 0 is
// the picture's bottom row unless `rows_as_stored` keeps the file's order.
// On bytes that do not decode, logs, leaves the texture without storage and
// returns false.
bool load_texture(GLuint texture, const unsigned char* bytes, int32_t length, bool rows_as_stored = false);

// The picture's size from the image's header alone, without decoding it.
bool read_image_size(const unsigned char* bytes, int32_t length, int* width, int* height);

// One level fewer than a full chain: the smallest level is 2 texels on the
// longer side, except that a 1-texel image still gets its one level.
int texture_level_count(int width, int height);

// Magnified linearly; `min_filter` when minified, and `wrap` on every axis.
void set_texture_sampling(GLuint texture, GLint min_filter, GLint wrap);
