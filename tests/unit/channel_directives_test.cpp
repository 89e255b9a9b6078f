// Channel directives, grouped by what a pass author writes.
#include <gtest/gtest.h>

#include <string>

#include "render/builtin_images.h"
#include "shader/channel_directives.h"
#include "shader/channel_table.h"
#include "tests/support/recording_log.h"

static const char* const kBufferNames[] = {"BufferA", "BufferB", "BufferC", "BufferD"};

// Texture names that tell the entries apart: image i is 100 + i, buffers
// 200 + n, the keyboard 300.
class ChannelDirectives : public testing::Test {
  protected:
    void SetUp() override {
        clear_channel_table();
        for (int image = 0; image < kBuiltinImageCount; ++image) {
            ChannelTable[image] = ChannelTableEntry{BuiltinImages[image].name, static_cast<GLuint>(100 + image)};
        }
        for (int buffer = 0; buffer < 4; ++buffer) {
            ChannelTable[kFirstBufferEntry + buffer] =
                ChannelTableEntry{kBufferNames[buffer], static_cast<GLuint>(200 + buffer)};
        }
        ChannelTable[kKeyboardEntry] = ChannelTableEntry{"Keyboard", 300};
    }
    void TearDown() override { clear_channel_table(); }

    PassSetResult parse(const std::string& text, int pass = 0) {
        PassSetResult result = {};
        parse_channel_directives(text.c_str(), pass, &result);
        return result;
    }

    RecordingLog log;
};

TEST_F(ChannelDirectives, NamesMatchWholeIgnoringCaseAndLogInTheirTableForm) {
    const PassSetResult result = parse("#pragma iChannel1 buffera\n#pragma ICHANNEL2 Organic1.JPG\n");
    EXPECT_EQ(result.channels[1], 200u);
    EXPECT_EQ(result.channels[2], 111u);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "pragma match: iChannel1 BufferA\n");
    EXPECT_EQ(log.lines[1], "pragma match: iChannel2 organic1.jpg\n");
}

TEST_F(ChannelDirectives, ChannelsLandAtFourTimesThePassIndex) {
    const PassSetResult buffer_c = parse("#pragma iChannel0 keyboard\n#pragma iChannel3 stars.jpg\n", 3);
    EXPECT_EQ(buffer_c.channels[12], 300u);
    EXPECT_EQ(buffer_c.channels[15], 118u);
    for (int entry = 0; entry < kChannelBindingCount; ++entry) {
        if (entry == 12 || entry == 15) continue;
        EXPECT_EQ(buffer_c.channels[entry], 0u) << entry;
    }
}

TEST_F(ChannelDirectives, LayoutAroundTheDirectiveDoesNotMatter) {
    // Indentation, extra blanks and a trailing remark.
    EXPECT_EQ(parse("   \t#pragma   iChannel0 \t RGBA_Noise.PNG   // the noise\n").channels[0], 100u);
    // CR LF line ends.
    const PassSetResult crlf = parse("void f();\r\n#pragma iChannel1 wood.jpg\r\n#pragma iChannel2 bayer.png\r\n");
    EXPECT_EQ(crlf.channels[1], 119u);
    EXPECT_EQ(crlf.channels[2], 106u);
    // A last line without a line end is examined like any other.
    EXPECT_EQ(parse("void f();\n#pragma iChannel3 BufferD").channels[3], 203u);
    // No blank is needed after the keyword.
    EXPECT_EQ(parse("#pragmaiChannel0 lichen.jpg\n").channels[0], 108u);
}

TEST_F(ChannelDirectives, WordsAfterTheNameAreUnknownOptionsAndTheLaterDirectiveWins) {
    const PassSetResult result = parse(
        "#pragma iChannel0 london.jpg extra words here\n"
        "#pragma iChannel1 wood.jpg\n"
        "#pragma iChannel1 pebbles.png\n");
    EXPECT_EQ(result.channels[0], 109u);
    EXPECT_EQ(result.channels[1], 115u);
    EXPECT_EQ(log.count_prefix("pragma match:"), 3);
    EXPECT_EQ(log.lines[1], "pragma unknown options: iChannel0 extra words here");
}

TEST_F(ChannelDirectives, SamplerOptionsAreReadIgnoringCaseAndShownOnlyWhenGiven) {
    const PassSetResult result = parse(
        "#pragma iChannel0 BufferA filter=nearest wrap=repeat\n"
        "#pragma iChannel1 organic1.jpg VFLIP=False Filter=MIPMAP wrap=clamp\n"
        "#pragma iChannel2 Keyboard filter=linear\n"
        "#pragma iChannel3 wood.jpg vflip=true\n",
        1);
    const ChannelSampling& buffer = result.sampling[4];
    EXPECT_EQ(buffer.filter, ChannelFilter::Nearest);
    EXPECT_EQ(buffer.wrap, ChannelWrap::Repeat);
    EXPECT_FALSE(buffer.unflipped);
    EXPECT_EQ(result.sampling[5].filter, ChannelFilter::Mipmap);
    EXPECT_EQ(result.sampling[5].wrap, ChannelWrap::Clamp);
    EXPECT_TRUE(result.sampling[5].unflipped);
    EXPECT_EQ(result.sampling[6].filter, ChannelFilter::Linear);
    EXPECT_FALSE(sampling_given(result.sampling[7]));
    EXPECT_FALSE(sampling_given(result.sampling[0]));
    EXPECT_EQ(result.channels[5], 111u);
    ASSERT_EQ(log.lines.size(), 4u) << log.joined();
    EXPECT_EQ(log.lines[0], "pragma match: iChannel0 BufferA filter=nearest wrap=repeat\n");
    EXPECT_EQ(log.lines[1], "pragma match: iChannel1 organic1.jpg filter=mipmap wrap=clamp vflip=false\n");
    EXPECT_EQ(log.lines[2], "pragma match: iChannel2 Keyboard filter=linear\n");
    EXPECT_EQ(log.lines[3], "pragma match: iChannel3 wood.jpg\n");
}

TEST_F(ChannelDirectives, UnknownOptionsAreNamedAndTheChannelStillBinds) {
    const PassSetResult result = parse("#pragma iChannel2 BufferC srgb=true filter=cubic wrap=repeat vflip=false x\n");
    EXPECT_EQ(result.channels[2], 202u);
    EXPECT_EQ(result.sampling[2].wrap, ChannelWrap::Repeat);
    EXPECT_EQ(result.sampling[2].filter, ChannelFilter::Unset);
    EXPECT_FALSE(result.sampling[2].unflipped) << "vflip is for images";
    ASSERT_EQ(log.lines.size(), 2u) << log.joined();
    EXPECT_EQ(log.lines[0], "pragma match: iChannel2 BufferC wrap=repeat\n");
    EXPECT_EQ(log.lines[1], "pragma unknown options: iChannel2 srgb=true filter=cubic vflip=false x");
}

TEST_F(ChannelDirectives, LineCommentsHideDirectivesButBlockCommentsDoNot) {
    const PassSetResult result = parse(
        "// #pragma iChannel0 wood.jpg\n"
        "/*\n"
        "#pragma iChannel1 wood.jpg\n"
        "*/\n");
    EXPECT_EQ(result.channels[0], 0u);
    EXPECT_EQ(result.channels[1], 119u);
}

TEST_F(ChannelDirectives, LinesThatAreNotDirectivesChangeNothingAndLogNothing) {
    const PassSetResult result = parse(
        "#pragma iChannel4 wood.jpg\n"
        "#pragma iChannel0 BufferE\n"
        "#pragma iChannel0\n"
        "#pragma\n"
        "#PRAGMA iChannel0 wood.jpg\n"
        "#pragma iChannel0 organic1\n"
        "#pragma iChannel0 wood.jpg.png\n"
        "#pragma iChannel wood.jpg\n"
        " # pragma iChannel0 wood.jpg\n"
        "#define X 1\n");
    for (GLuint channel : result.channels) EXPECT_EQ(channel, 0u);
    EXPECT_TRUE(log.lines.empty()) << log.joined();
}

TEST_F(ChannelDirectives, EmptyTableEntriesNeverMatch) {
    EXPECT_EQ(parse("#pragma iChannel0 \"\"\n").channels[0], 0u);
    EXPECT_EQ(find_channel_table_entry("", 0), -1);
}

TEST_F(ChannelDirectives, OverlongTokensSpillIntoTheNextToken) {
    // 511 characters fill the first token, so the channel name is never read.
    const std::string spill = "#pragma " + std::string(511, 'x') + "iChannel0 wood.jpg\n";
    EXPECT_EQ(parse(spill).channels[0], 0u);
    const std::string long_name = "#pragma iChannel0 " + std::string(600, 'y') + "\n";
    EXPECT_EQ(parse(long_name).channels[0], 0u);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(ChannelDirectives, TheTextureIsTheOneInTheTableAtParseTime) {
    ChannelTable[kFirstBufferEntry + 1].texture = 777;
    EXPECT_EQ(parse("#pragma iChannel0 BufferB\n").channels[0], 777u);
}

TEST_F(ChannelDirectives, AFloodOfDirectivesIsListedInPartAndCountedInOneLine) {
    std::string text;
    for (int line = 0; line < 10000; ++line) text += line % 2 ? "#pragma iChannel1 wood.jpg\n" : "#pragma iChannel0 BufferB\n";
    text += "#pragma iChannel2 stars.jpg\n";
    const PassSetResult result = parse(text);
    EXPECT_EQ(result.channels[0], 201u);
    EXPECT_EQ(result.channels[2], 118u) << "every directive still counts";
    ASSERT_EQ(log.lines.size(), 9u) << "eight listed and one count";
    EXPECT_EQ(log.lines[8], "pragma match: 9993 more not listed (10001 in all)");
}
