// The embedded images, checked from their own headers: every name, format,
// stored form and size is what pass authors are promised.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <cstring>
#include <string>

#include "render/builtin_images.h"

enum class Stored { PngGrey, PngRgb, PngRgba, PngPalette4, JpegBaseline, JpegProgressive };

struct Expected {
    const char* name;
    Stored stored;
    int width;
    int height;
};

static const Expected kExpected[kBuiltinImageCount] = {
    {"rgba_noise.png", Stored::PngRgb, 256, 256},
    {"gray_noise.png", Stored::PngGrey, 256, 256},
    {"blue_noise.png", Stored::PngRgb, 256, 256},
    {"abstract1.jpg", Stored::JpegProgressive, 1024, 1024},
    {"abstract2.jpg", Stored::JpegProgressive, 512, 512},
    {"abstract3.jpg", Stored::JpegBaseline, 1024, 1024},
    {"bayer.png", Stored::PngGrey, 8, 8},
    {"font1.png", Stored::PngRgba, 1024, 1024},
    {"lichen.jpg", Stored::JpegProgressive, 1024, 1024},
    {"london.jpg", Stored::JpegBaseline, 512, 512},
    {"nyancat.png", Stored::PngPalette4, 256, 32},
    {"organic1.jpg", Stored::JpegProgressive, 1024, 1024},
    {"organic2.jpg", Stored::JpegProgressive, 1024, 1024},
    {"organic3.jpg", Stored::JpegBaseline, 1024, 1024},
    {"organic4.jpg", Stored::JpegBaseline, 1024, 1024},
    {"pebbles.png", Stored::PngGrey, 512, 512},
    {"rock_tiles.jpg", Stored::JpegBaseline, 512, 512},
    {"rusty_metal.jpg", Stored::JpegBaseline, 512, 512},
    {"stars.jpg", Stored::JpegBaseline, 512, 512},
    {"wood.jpg", Stored::JpegProgressive, 1024, 1024},
};

static uint32_t big_endian_32(const unsigned char* bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}
static int big_endian_16(const unsigned char* bytes) { return (bytes[0] << 8) | bytes[1]; }

struct PngHeader {
    bool valid = false;
    int width = 0, height = 0, bit_depth = 0, colour_type = -1, interlace = -1;
    bool has_transparency = false;
};

static PngHeader read_png_header(const BuiltinImage& image) {
    PngHeader header;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (image.size < 33 || memcmp(image.bytes, kSignature, 8) != 0) return header;
    for (uint64_t at = 8; at + 12 <= image.size;) {
        const uint32_t length = big_endian_32(image.bytes + at);
        const char* type = reinterpret_cast<const char*>(image.bytes + at + 4);
        const unsigned char* data = image.bytes + at + 8;
        if (memcmp(type, "IHDR", 4) == 0) {
            header.valid = true;
            header.width = static_cast<int>(big_endian_32(data));
            header.height = static_cast<int>(big_endian_32(data + 4));
            header.bit_depth = data[8];
            header.colour_type = data[9];
            header.interlace = data[12];
        }
        if (memcmp(type, "tRNS", 4) == 0) header.has_transparency = true;
        at += 12 + uint64_t(length);
    }
    return header;
}

struct JpegHeader {
    bool valid = false;
    int frame_marker = 0;  // 0xC0 baseline, 0xC2 progressive
    int precision = 0, width = 0, height = 0, components = 0;
    bool has_restart_interval = false;
};

static JpegHeader read_jpeg_header(const BuiltinImage& image) {
    JpegHeader header;
    if (image.size < 4 || image.bytes[0] != 0xFF || image.bytes[1] != 0xD8) return header;
    for (uint64_t at = 2; at + 4 <= image.size;) {
        if (image.bytes[at] != 0xFF) return header;
        const int marker = image.bytes[at + 1];
        if (marker == 0xDA) break;  // entropy-coded data follows
        const int length = big_endian_16(image.bytes + at + 2);
        const unsigned char* data = image.bytes + at + 4;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            header.valid = true;
            header.frame_marker = marker;
            header.precision = data[0];
            header.height = big_endian_16(data + 1);
            header.width = big_endian_16(data + 3);
            header.components = data[5];
        }
        if (marker == 0xDD && big_endian_16(data) > 0) header.has_restart_interval = true;
        at += 2 + uint64_t(length);
    }
    return header;
}

static bool is_png(Stored stored) { return stored <= Stored::PngPalette4; }

// The colour type and bit depth the IHDR chunk must carry.
struct PngFormat {
    int colour_type;
    int bit_depth;
};

static PngFormat png_format_of(Stored stored) {
    switch (stored) {
        case Stored::PngGrey:
            return {0, 8};
        case Stored::PngRgb:
            return {2, 8};
        case Stored::PngRgba:
            return {6, 8};
        default:
            return {3, 4};  // a 4-bit palette
    }
}

TEST(BuiltinImages, NamesAreInTheirFixedOrder) {
    for (int index = 0; index < kBuiltinImageCount; ++index) {
        EXPECT_STREQ(BuiltinImages[index].name, kExpected[index].name) << index;
    }
}

TEST(BuiltinImages, PngFilesAreStoredAsPromised) {
    for (int index = 0; index < kBuiltinImageCount; ++index) {
        const Expected& expected = kExpected[index];
        if (!is_png(expected.stored)) continue;
        const PngHeader header = read_png_header(BuiltinImages[index]);
        SCOPED_TRACE(expected.name);
        ASSERT_TRUE(header.valid);
        EXPECT_EQ(header.width, expected.width);
        EXPECT_EQ(header.height, expected.height);
        EXPECT_EQ(header.interlace, 0);
        const PngFormat format = png_format_of(expected.stored);
        EXPECT_EQ(header.colour_type, format.colour_type);
        EXPECT_EQ(header.bit_depth, format.bit_depth);
        if (expected.stored == Stored::PngPalette4) {
            EXPECT_TRUE(header.has_transparency);
        }
    }
}

TEST(BuiltinImages, JpegFilesAreStoredAsPromised) {
    for (int index = 0; index < kBuiltinImageCount; ++index) {
        const Expected& expected = kExpected[index];
        if (is_png(expected.stored)) continue;
        const JpegHeader header = read_jpeg_header(BuiltinImages[index]);
        SCOPED_TRACE(expected.name);
        ASSERT_TRUE(header.valid);
        EXPECT_EQ(header.frame_marker, expected.stored == Stored::JpegProgressive ? 0xC2 : 0xC0);
        EXPECT_EQ(header.precision, 8);
        EXPECT_EQ(header.components, 3);
        EXPECT_EQ(header.width, expected.width);
        EXPECT_EQ(header.height, expected.height);
        EXPECT_EQ(header.has_restart_interval, strcmp(expected.name, "london.jpg") == 0);
    }
}

TEST(BuiltinImages, EachDecodesToItsStatedSize) {
    for (int index = 0; index < kBuiltinImageCount; ++index) {
        const BuiltinImage& image = BuiltinImages[index];
        int width = 0, height = 0, components = 0;
        stbi_uc* pixels =
            stbi_load_from_memory(image.bytes, static_cast<int>(image.size), &width, &height, &components, 4);
        SCOPED_TRACE(image.name);
        ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
        EXPECT_EQ(width, kExpected[index].width);
        EXPECT_EQ(height, kExpected[index].height);
        stbi_image_free(pixels);
    }
}

TEST(BuiltinImages, TheSetStaysUnderSixMebibytes) {
    uint64_t total = 0;
    for (const BuiltinImage& image : BuiltinImages) total += image.size;
    EXPECT_LT(total, 6u * 1024 * 1024);
}
