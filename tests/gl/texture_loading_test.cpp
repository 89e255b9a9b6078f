// Built-in images decoded into textures on a real context.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/builtin_images.h"
#include "render/texture_loading.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"

TEST(TextureLevels, OneFewerThanAFullChainButNeverNone) {
    EXPECT_EQ(texture_level_count(256, 256), 8);
    EXPECT_EQ(texture_level_count(1024, 1024), 10);
    EXPECT_EQ(texture_level_count(8, 8), 3);
    EXPECT_EQ(texture_level_count(256, 32), 8);
    EXPECT_EQ(texture_level_count(2, 1), 1);
    EXPECT_EQ(texture_level_count(1, 1), 1);
    EXPECT_EQ(texture_level_count(1, 3), 1);
    EXPECT_EQ(texture_level_count(0, 0), 1);
}

class TextureLoading : public GlTest {
  protected:
    void TearDown() override {
        if (!textures.empty()) glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
    }

    GLuint load(const char* name) {
        for (const BuiltinImage& image : BuiltinImages) {
            if (strcmp(image.name, name) == 0) return load_bytes(image.bytes, static_cast<int32_t>(image.size));
        }
        ADD_FAILURE() << "no image " << name;
        return 0;
    }

    GLuint load_bytes(const unsigned char* bytes, int32_t length) {
        GLuint texture = 0;
        glCreateTextures(GL_TEXTURE_2D, 1, &texture);
        textures.push_back(texture);
        load_texture(texture, bytes, length);
        return texture;
    }

    static GLint parameter(GLuint texture, GLenum name) {
        GLint value = 0;
        glGetTextureParameteriv(texture, name, &value);
        return value;
    }

    static GLint level_size(GLuint texture, GLint level, GLenum which) {
        GLint value = 0;
        glGetTextureLevelParameteriv(texture, level, which, &value);
        return value;
    }

    // Level 0 as RGBA8, row 0 first (the bottom of the picture).
    static std::vector<unsigned char> texels(GLuint texture) {
        const GLint width = level_size(texture, 0, GL_TEXTURE_WIDTH);
        const GLint height = level_size(texture, 0, GL_TEXTURE_HEIGHT);
        std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
        glGetTextureImage(texture, 0, GL_RGBA, GL_UNSIGNED_BYTE, static_cast<GLsizei>(pixels.size()), pixels.data());
        return pixels;
    }

    std::vector<GLuint> textures;
};

TEST_F(TextureLoading, LevelCountsAndParametersFollowTheImage) {
    struct Row {
        const char* name;
        int levels;
        int width;
        int height;
    };
    const Row rows[] = {{"rgba_noise.png", 8, 256, 256},
                        {"organic1.jpg", 10, 1024, 1024},
                        {"bayer.png", 3, 8, 8},
                        {"nyancat.png", 8, 256, 32}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const GLuint texture = load(row.name);
        EXPECT_EQ(parameter(texture, GL_TEXTURE_IMMUTABLE_LEVELS), row.levels);
        EXPECT_EQ(level_size(texture, 0, GL_TEXTURE_WIDTH), row.width);
        EXPECT_EQ(level_size(texture, 0, GL_TEXTURE_HEIGHT), row.height);
        EXPECT_EQ(level_size(texture, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
        EXPECT_EQ(parameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(texture, GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(parameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
}

TEST_F(TextureLoading, EveryBuiltinImageLoadsWithoutAMessage) {
    RecordingLog log;
    for (const BuiltinImage& image : BuiltinImages) load(image.name);
    EXPECT_TRUE(log.lines.empty()) << log.joined();
}

TEST_F(TextureLoading, ImagesWithoutAlphaAreOpaque) {
    const std::vector<unsigned char> noise = texels(load("rgba_noise.png"));
    for (size_t texel = 0; texel < noise.size(); texel += 4) ASSERT_EQ(noise[texel + 3], 255) << texel / 4;
}

TEST_F(TextureLoading, GreyImagesHaveEqualRedGreenAndBlue) {
    const std::vector<unsigned char> bayer = texels(load("bayer.png"));
    ASSERT_EQ(bayer.size(), 8u * 8u * 4u);
    for (size_t texel = 0; texel < bayer.size(); texel += 4) {
        EXPECT_EQ(bayer[texel], bayer[texel + 1]);
        EXPECT_EQ(bayer[texel], bayer[texel + 2]);
        EXPECT_EQ(bayer[texel + 3], 255);
    }
}

TEST_F(TextureLoading, PaletteTransparencyReachesAlpha) {
    const std::vector<unsigned char> cat = texels(load("nyancat.png"));
    size_t transparent = 0, opaque = 0;
    for (size_t texel = 0; texel < cat.size(); texel += 4) {
        if (cat[texel + 3] == 0) ++transparent;
        if (cat[texel + 3] == 255) ++opaque;
    }
    EXPECT_GT(transparent, 0u);
    EXPECT_GT(opaque, 0u);
}

TEST_F(TextureLoading, TextureRowZeroIsThePicturesBottomRow) {
    const BuiltinImage& image = BuiltinImages[kDefaultChannelImage];
    const std::vector<unsigned char> texture = texels(load(image.name));
    stbi_set_flip_vertically_on_load(0);
    int width = 0, height = 0, components = 0;
    stbi_uc* upright =
        stbi_load_from_memory(image.bytes, static_cast<int>(image.size), &width, &height, &components, 4);
    stbi_set_flip_vertically_on_load(1);
    ASSERT_NE(upright, nullptr);
    const size_t row_bytes = static_cast<size_t>(width) * 4;
    EXPECT_EQ(memcmp(texture.data(), upright + (height - 1) * row_bytes, row_bytes), 0);
    EXPECT_EQ(memcmp(texture.data() + (height - 1) * row_bytes, upright, row_bytes), 0);
    stbi_image_free(upright);
}

TEST_F(TextureLoading, NoiseGreenIsRedShiftedForTheValueNoiseLookup) {
    // In texture coordinates: green at (x + 37, y + 17) equals red at (x, y).
    const std::vector<unsigned char> noise = texels(load("rgba_noise.png"));
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int shifted = ((y + 17) % 256) * 256 + (x + 37) % 256;
            ASSERT_EQ(noise[static_cast<size_t>(shifted) * 4 + 1], noise[static_cast<size_t>(y * 256 + x) * 4])
                << x << "," << y;
        }
    }
}

TEST_F(TextureLoading, GarbageIsReportedAndLeavesNoStorage) {
    const unsigned char garbage[] = "this is not an image at all";
    RecordingLog log;
    const GLuint texture = load_bytes(garbage, sizeof garbage);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "load_texture fail im mem");
    EXPECT_EQ(parameter(texture, GL_TEXTURE_IMMUTABLE_FORMAT), GL_FALSE);
    EXPECT_EQ(level_size(texture, 0, GL_TEXTURE_WIDTH), 0);
}
