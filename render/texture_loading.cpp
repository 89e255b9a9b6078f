#include "render/texture_loading.h"

#include <stb_image.h>

#include "base/log.h"

int texture_level_count(int width, int height) {
    int longer = width > height ? width : height;
    if (longer <= 1) return 1;
    int levels = 0;
    while (longer > 1) {
        longer >>= 1;
        ++levels;
    }
    return levels;
}

bool read_image_size(const unsigned char* bytes, int32_t length, int* width, int* height) {
    int stored_components = 0;
    return stbi_info_from_memory(bytes, length, width, height, &stored_components) != 0;
}

bool load_texture(GLuint texture, const unsigned char* bytes, int32_t length, bool rows_as_stored) {
    // Row 0 of a GL texture is the bottom of the picture.
    stbi_set_flip_vertically_on_load(rows_as_stored ? 0 : 1);
    int width = 0;
    int height = 0;
    int stored_components = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, length, &width, &height, &stored_components, 4);
    if (!pixels) {
        log_message("load_texture fail im mem");
        return false;
    }
    glTextureStorage2D(texture, texture_level_count(width, height), GL_RGBA8, width, height);
    set_texture_sampling(texture, GL_LINEAR_MIPMAP_LINEAR, GL_REPEAT);
    // NOTE: rows of 4-byte texels are always 4-aligned, so the default
    // unpack alignment fits every image.
    glTextureSubImage2D(texture, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glGenerateTextureMipmap(texture);
    stbi_image_free(pixels);
    return true;
}

void set_texture_sampling(GLuint texture, GLint min_filter, GLint wrap) {
    glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, min_filter);
    glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_S, wrap);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_T, wrap);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_R, wrap);
}
