#include "render/builtin_cubemaps.h"

#include <cmath>
#include <cstdlib>

#include "base/bit_mixing.h"
#include "base/log.h"
#include "render/texture_loading.h"
#include "shader/channel_table.h"

static const char* const kCubemapNames[kBuiltinCubemapCount] = {"sky_cubemap", "starfield_cubemap",
                                                                "studio_cubemap"};

struct Colour {
    float r, g, b;
};

static Colour mix(Colour a, Colour b, float amount) {
    return Colour{a.r + (b.r - a.r) * amount, a.g + (b.g - a.g) * amount, a.b + (b.b - a.b) * amount};
}

static Colour plus(Colour a, Colour b, float amount) {
    return Colour{a.r + b.r * amount, a.g + b.g * amount, a.b + b.b * amount};
}

static float clamped(float value, float low, float high) { return value < low ? low : value > high ? high : value; }

static float smooth_step(float edge0, float edge1, float value) {
    const float t = clamped((value - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

static float towards(const float d[3], float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    return (d[0] * x + d[1] * y + d[2] * z) / length;
}

// GL's face table, whose faces are seen from inside the cube.
const float kCubemapFaceAxes[6][9] = {
    {0.0f, 0.0f, -1.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f, 0.0f},   // +X: (1, -t, -s)
    {0.0f, 0.0f, 1.0f, 0.0f, -1.0f, 0.0f, -1.0f, 0.0f, 0.0f},   // -X: (-1, -t, s)
    {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f},     // +Y: (s, 1, t)
    {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, -1.0f, 0.0f},   // -Y: (s, -1, -t)
    {1.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f, 1.0f},    // +Z: (s, -t, 1)
    {-1.0f, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f, -1.0f},  // -Z: (-s, -t, -1)
};

void cubemap_texel_direction(int face, int x, int y, float direction[3]) {
    const float s = 2.0f * (static_cast<float>(x) + 0.5f) / kBuiltinCubemapFaceSize - 1.0f;
    const float t = 2.0f * (static_cast<float>(y) + 0.5f) / kBuiltinCubemapFaceSize - 1.0f;
    const float* axes = kCubemapFaceAxes[face < 0 || face > 5 ? 0 : face];
    for (int component = 0; component < 3; ++component) {
        direction[component] = s * axes[component] + t * axes[3 + component] + axes[6 + component];
    }
}

static Colour sky(const float d[3]) {
    const Colour zenith = {0.20f, 0.40f, 0.82f};
    const Colour horizon = {0.78f, 0.86f, 0.95f};
    const Colour ground = {0.28f, 0.25f, 0.21f};
    Colour colour = d[1] >= 0.0f ? mix(horizon, zenith, std::sqrt(d[1])) : mix(horizon, ground, std::sqrt(std::sqrt(-d[1])));
    const float sun = clamped(towards(d, 0.5f, 0.35f, 0.8f), 0.0f, 1.0f);
    const float sun2 = sun * sun;
    const float sun8 = sun2 * sun2 * sun2 * sun2;
    // A glow around the sun, and its disc half a degree across.
    colour = plus(colour, Colour{1.0f, 0.9f, 0.7f}, sun8 * 0.25f + smooth_step(0.99995f, 0.99999f, sun) * 2.0f);
    return colour;
}


static Colour starfield(const float d[3], int face, int x, int y) {
    Colour colour = {0.006f, 0.008f, 0.02f};
    // A faint band across the sky, as a galaxy's disc seen from inside it.
    const float across = towards(d, 0.3f, 0.9f, -0.3f);
    colour = plus(colour, Colour{0.10f, 0.09f, 0.12f}, std::exp(-across * across * 30.0f));
    const uint32_t bits = mixed_bits(static_cast<uint32_t>((face * kBuiltinCubemapFaceSize + y) * kBuiltinCubemapFaceSize + x));
    // About one texel in 300 holds a star, of a random brightness and tint.
    if (bits % 300U == 0U) {
        const float brightness = 0.35f + 0.65f * static_cast<float>((bits >> 8) & 255U) / 255.0f;
        const float warmth = static_cast<float>((bits >> 16) & 255U) / 255.0f;
        colour = plus(colour, mix(Colour{0.75f, 0.85f, 1.0f}, Colour{1.0f, 0.85f, 0.65f}, warmth), brightness);
    }
    return colour;
}

// A dim room lit by two soft boxes and a light above.
static Colour studio(const float d[3]) {
    const float up = d[1] / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    Colour colour = mix(Colour{0.10f, 0.10f, 0.11f}, Colour{0.24f, 0.24f, 0.25f}, up * 0.5f + 0.5f);
    colour = plus(colour, Colour{1.0f, 0.97f, 0.92f}, smooth_step(0.86f, 0.96f, towards(d, 0.6f, 0.5f, 0.6f)) * 1.2f);
    colour = plus(colour, Colour{0.85f, 0.9f, 1.0f}, smooth_step(0.80f, 0.95f, towards(d, -0.7f, 0.3f, 0.4f)) * 0.55f);
    colour = plus(colour, Colour{1.0f, 1.0f, 1.0f}, smooth_step(0.70f, 0.98f, up) * 0.6f);
    return colour;
}

static uint8_t byte_of(float value) { return static_cast<uint8_t>(clamped(value, 0.0f, 1.0f) * 255.0f + 0.5f); }

void builtin_cubemap_texel(int cubemap, int face, int x, int y, uint8_t rgba[4]) {
    float direction[3];
    cubemap_texel_direction(face, x, y, direction);
    const float length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
    const float d[3] = {direction[0] / length, direction[1] / length, direction[2] / length};
    const Colour colour = cubemap == 0 ? sky(d) : cubemap == 1 ? starfield(d, face, x, y) : studio(d);
    rgba[0] = byte_of(colour.r);
    rgba[1] = byte_of(colour.g);
    rgba[2] = byte_of(colour.b);
    rgba[3] = 255;
}

static GLuint make_cubemap(int cubemap) {
    const int size = kBuiltinCubemapFaceSize;
    uint8_t* face_texels = static_cast<uint8_t*>(malloc(static_cast<size_t>(size) * size * 4));
    if (!face_texels) {
        log_message("no memory for the cubemap %s", kCubemapNames[cubemap]);
        return 0;
    }
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_CUBE_MAP, 1, &texture);
    glTextureStorage2D(texture, texture_level_count(size, size), GL_RGBA8, size, size);
    for (int face = 0; face < 6; ++face) {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) builtin_cubemap_texel(cubemap, face, x, y, face_texels + (y * size + x) * 4);
        }
        // A cube map is six layers to the direct state calls.
        glTextureSubImage3D(texture, 0, 0, 0, face, size, size, 1, GL_RGBA, GL_UNSIGNED_BYTE, face_texels);
    }
    free(face_texels);
    glGenerateTextureMipmap(texture);
    set_texture_sampling(texture, GL_LINEAR_MIPMAP_LINEAR, GL_CLAMP_TO_EDGE);
    return texture;
}

static GLuint make_sky() { return make_cubemap(0); }
static GLuint make_starfield() { return make_cubemap(1); }
static GLuint make_studio() { return make_cubemap(2); }

void enter_builtin_cubemaps() {
    GLuint (*const makers[kBuiltinCubemapCount])() = {make_sky, make_starfield, make_studio};
    for (int cubemap = 0; cubemap < kBuiltinCubemapCount; ++cubemap) {
        ChannelTable[kFirstCubemapEntry + cubemap] =
            ChannelTableEntry{kCubemapNames[cubemap], 0, GL_TEXTURE_CUBE_MAP, makers[cubemap]};
    }
}

void delete_builtin_cubemaps() {
    for (int cubemap = 0; cubemap < kBuiltinCubemapCount; ++cubemap) {
        GLuint& texture = ChannelTable[kFirstCubemapEntry + cubemap].texture;
        if (texture) glDeleteTextures(1, &texture);
        texture = 0;
    }
}
