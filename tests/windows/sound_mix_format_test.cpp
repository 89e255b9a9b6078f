// The mix formats the sound capture reads, as a device offers them.
#include <gtest/gtest.h>

#include <cstring>

#include "desktop/sound_mix_format.h"

static const GUID kFloatSubtype = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
static const GUID kPcmSubtype = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
// A subtype outside the tag-based family.
static const GUID kOtherSubtype = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x72}};

static WAVEFORMATEXTENSIBLE extensible(const GUID& subtype, WORD bits) {
    WAVEFORMATEXTENSIBLE format;
    memset(&format, 0, sizeof format);
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.nChannels = 2;
    format.Format.wBitsPerSample = bits;
    format.Format.cbSize = sizeof format - sizeof format.Format;
    format.SubFormat = subtype;
    return format;
}

static WAVEFORMATEX plain(WORD tag, WORD bits) {
    WAVEFORMATEX format;
    memset(&format, 0, sizeof format);
    format.wFormatTag = tag;
    format.nChannels = 2;
    format.wBitsPerSample = bits;
    return format;
}

TEST(SoundMixFormat, FloatAndSixteenBitPcmAreReadPlainOrExtensibleAndNothingElse) {
    SampleKind kind = SampleKind::Pcm16;
    EXPECT_TRUE(sample_kind_of(extensible(kFloatSubtype, 32).Format, &kind));
    EXPECT_EQ(kind, SampleKind::Float32);
    EXPECT_TRUE(sample_kind_of(extensible(kPcmSubtype, 16).Format, &kind));
    EXPECT_EQ(kind, SampleKind::Pcm16);
    EXPECT_TRUE(sample_kind_of(plain(WAVE_FORMAT_IEEE_FLOAT, 32), &kind));
    EXPECT_EQ(kind, SampleKind::Float32);
    EXPECT_TRUE(sample_kind_of(plain(WAVE_FORMAT_PCM, 16), &kind));
    EXPECT_EQ(kind, SampleKind::Pcm16);

    EXPECT_FALSE(sample_kind_of(extensible(kPcmSubtype, 24).Format, &kind));
    EXPECT_FALSE(sample_kind_of(extensible(kFloatSubtype, 64).Format, &kind));
    EXPECT_FALSE(sample_kind_of(extensible(kOtherSubtype, 32).Format, &kind));
    WAVEFORMATEXTENSIBLE short_extension = extensible(kFloatSubtype, 32);
    short_extension.Format.cbSize = 0;
    EXPECT_FALSE(sample_kind_of(short_extension.Format, &kind)) << "no room for a subtype";
}

TEST(SoundMixFormat, SamplesBecomeFloatsFromTheirFirstOnAndSilenceIsZero) {
    const short pcm[] = {0, -32768, 16384, 32767};
    float floats[3] = {9.0f, 9.0f, 9.0f};
    convert_samples(SampleKind::Pcm16, reinterpret_cast<const BYTE*>(pcm), 1, 3, floats);
    EXPECT_EQ(floats[0], -1.0f);
    EXPECT_EQ(floats[1], 0.5f);
    EXPECT_NEAR(floats[2], 1.0f, 1e-4);

    const float values[] = {0.25f, -0.75f};
    convert_samples(SampleKind::Float32, reinterpret_cast<const BYTE*>(values), 1, 1, floats);
    EXPECT_EQ(floats[0], -0.75f);
    convert_samples(SampleKind::Float32, nullptr, 0, 3, floats);
    EXPECT_EQ(floats[0], 0.0f);
    EXPECT_EQ(floats[2], 0.0f);
}
