// Pass sets from files and from texts, built on a real context.
#include <gtest/gtest.h>

#include <string>

#include "shader/channel_table.h"
#include "shader/pass_set.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unreadable_file.h"

static const char kGoodPass[] =
    "void mainImage(out vec4 color, in vec2 coord) { color = texture(iChannel0, coord) + iTime; }\n";
static const char kBrokenPass[] = "void mainImage(out vec4 color, in vec2 coord) { color = nonsense; }\n";

class PassSetBuild : public GlTest {
  protected:
    void SetUp() override {
        clear_channel_table();
        ChannelTable[0] = ChannelTableEntry{"rgba_noise.png", 11};
        ChannelTable[kFirstBufferEntry] = ChannelTableEntry{"BufferA", 21};
        ChannelTable[kFirstBufferEntry + 1] = ChannelTableEntry{"BufferB", 22};
    }
    void TearDown() override {
        for (GLuint program : result.programs) glDeleteProgram(program);
        clear_channel_table();
    }
    void load(const std::string& path) { result = load_pass_set_files(path.c_str()); }

    PassSetResult result = {};
    TempFolder folder{"lumenfold-passes"};
};

TEST_F(PassSetBuild, OnlyMainAndBufferBPresent) {
    folder.write("disc.glsl", std::string("#pragma iChannel0 BufferB\n") + kGoodPass);
    folder.write("disc.b.glsl", std::string("#pragma iChannel1 BufferA\n") + kGoodPass);
    RecordingLog log;
    load(folder.file("disc.glsl"));
    EXPECT_NE(result.programs[kMainPass], 0u);
    EXPECT_NE(result.programs[kBufferBPass], 0u);
    EXPECT_EQ(result.programs[kBufferAPass], 0u);
    EXPECT_EQ(result.programs[kBufferCPass], 0u);
    EXPECT_EQ(result.programs[kBufferDPass], 0u);
    EXPECT_EQ(result.channels[0], 22u);
    EXPECT_EQ(result.channels[4 * kBufferBPass + 1], 21u);
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(result.channels[4 * kBufferAPass + channel], 0u);
        EXPECT_EQ(result.channels[4 * kBufferCPass + channel], 0u);
    }
    EXPECT_EQ(log.lines[0], "load shader:" + folder.file("disc.glsl"));
    EXPECT_EQ(log.lines[1], "load shader:" + folder.file("disc.b.glsl"));
    // Directives are read with the files, on the loop's thread; the compile
    // that may run elsewhere logs each pass under its own heading.
    EXPECT_EQ(log.lines[2], "pragma match: iChannel0 BufferB\n");
    EXPECT_EQ(log.lines[3], "pragma match: iChannel1 BufferA\n");
    EXPECT_EQ(log.lines[4], "---------- build shader part:Main");
    EXPECT_EQ(log.lines[5], "Linking program...");
    EXPECT_EQ(log.count_prefix("---------- build shader part:"), 2);
    EXPECT_EQ(log.find_prefix("---------- build shader part:BufferB"), log.find_prefix("Linking program...", 6) - 1);
}

TEST_F(PassSetBuild, CompanionsFollowAnyExtensionOfTheMainFile) {
    folder.write("scene.txt", kGoodPass);
    folder.write("scene.a.glsl", kGoodPass);
    folder.write("scene.0.glsl", "float shared_value() { return 0.5; }\n");
    RecordingLog log;
    load(folder.file("scene.txt"));
    EXPECT_NE(result.programs[kBufferAPass], 0u);
    EXPECT_TRUE(log.has_prefix("load shader:" + folder.file("scene.0.glsl")));

    folder.write("disc.frag.glsl", kGoodPass);
    folder.write("disc.frag.c.glsl", kGoodPass);
    const PassSetResult frag = load_pass_set_files(folder.file("disc.frag.glsl").c_str());
    EXPECT_NE(frag.programs[kBufferCPass], 0u);
    for (GLuint program : frag.programs) glDeleteProgram(program);
}

TEST_F(PassSetBuild, AFolderWithADotKeepsTheCompanionsBesideTheMainFile) {
    folder.write("my.walls/disc", kGoodPass);
    folder.write("my.walls/disc.d.glsl", kGoodPass);
    folder.write("my.d.glsl", kBrokenPass);
    load(folder.file("my.walls/disc"));
    EXPECT_NE(result.programs[kBufferDPass], 0u);
}

TEST_F(PassSetBuild, MissingMainBuildsAndLogsNothing) {
    folder.write("disc.a.glsl", kGoodPass);
    RecordingLog log;
    load(folder.file("disc.glsl"));
    for (GLuint program : result.programs) EXPECT_EQ(program, 0u);
    EXPECT_EQ(log.count_prefix("---------- build shader part:"), 0);
    EXPECT_EQ(log.count_prefix("Linking program..."), 0);
}

TEST_F(PassSetBuild, EmptyMainIsPresentAndStopsTheBuildWhenItFails) {
    folder.write("disc.glsl", "");
    folder.write("disc.a.glsl", kGoodPass);
    RecordingLog log;
    load(folder.file("disc.glsl"));
    for (GLuint program : result.programs) EXPECT_EQ(program, 0u);
    EXPECT_EQ(log.count_prefix("---------- build shader part:"), 1);
    EXPECT_TRUE(log.has_prefix("Linking Error:\n"));
}

TEST_F(PassSetBuild, AFailingBufferDoesNotStopTheLaterOnes) {
    folder.write("disc.glsl", kGoodPass);
    folder.write("disc.b.glsl", std::string("#pragma iChannel2 BufferA\n") + kBrokenPass);
    folder.write("disc.c.glsl", kGoodPass);
    folder.write("disc.d.glsl", kGoodPass);
    load(folder.file("disc.glsl"));
    EXPECT_EQ(result.programs[kBufferBPass], 0u);
    EXPECT_NE(result.programs[kBufferCPass], 0u);
    EXPECT_NE(result.programs[kBufferDPass], 0u);
    // The failed pass's directives stay in the result.
    EXPECT_EQ(result.channels[4 * kBufferBPass + 2], 21u);
}

TEST_F(PassSetBuild, AnOverlongPassIsCutAndFailsCleanly) {
    const std::string text = kGoodPass + std::string("// ") + std::string(2 * 1024 * 1024, 'x') + "\n";
    const std::string path = folder.write("disc.glsl", text);
    RecordingLog log;
    load(path);
    EXPECT_EQ(result.programs[kMainPass], 0u);
    EXPECT_TRUE(log.has_prefix("load shader too long:" + path + " is " + std::to_string(text.size()) +
                               " bytes; a pass text holds at most 1048576"))
        << log.joined();
    EXPECT_FALSE(log.has_prefix("---------- build shader part:")) << "nothing is built from a cut text";
}

TEST_F(PassSetBuild, LongTextsUpToTheLimitAndLongNamesBuildWhole) {
    // Common part and pass near the limit each: the assembly holds both.
    std::string filler = "// " + std::string(kPassTextLimit - 200, 'x') + "\n";
    folder.write("disc.glsl", filler + kGoodPass);
    folder.write("disc.0.glsl", filler + "float shared_value() { return 0.5; }\n");
    const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e') + "/" + std::string(120, 'f') + "/" +
                             std::string(120, 'g') + "/" + std::string(60, 'h');
    folder.write(deep + "/disc.glsl", kGoodPass);
    folder.write(deep + "/disc.a.glsl", kGoodPass);
    RecordingLog log;
    load(folder.file("disc.glsl"));
    EXPECT_NE(result.programs[kMainPass], 0u) << log.joined().substr(0, 2000);
    for (GLuint program : result.programs) glDeleteProgram(program);
    load(folder.file(deep + "/disc.glsl"));
    EXPECT_GT(folder.file(deep + "/disc.a.glsl").size(), 511u);
    EXPECT_NE(result.programs[kBufferAPass], 0u) << "a companion name over 511 bytes is looked for";
}

TEST_F(PassSetBuild, APassTextWithAZeroByteIsRefusedByName) {
    const std::string path = folder.write("disc.glsl", std::string(kGoodPass) + std::string("\0garbage", 8));
    RecordingLog log;
    load(path);
    EXPECT_EQ(result.programs[kMainPass], 0u);
    EXPECT_TRUE(log.has_prefix("load shader zero byte:" + path + " holds a zero byte at byte " +
                               std::to_string(sizeof kGoodPass - 1) + "; a pass text holds none"))
        << log.joined();
}

TEST_F(PassSetBuild, CommonPartReachesEveryPassButItsDirectivesDoNot) {
    PassSetSources sources = {};
    sources.texts[kMainPass] = "void mainImage(out vec4 c, in vec2 p) { c = vec4(shared_value()); }\n";
    sources.texts[kBufferCPass] =
        "#pragma iChannel0 rgba_noise.png\nvoid mainImage(out vec4 c, in vec2 p) {\n"
        "  c = texture(iChannel0, p) * shared_value(); }\n";
    sources.texts[kCommonPartIndex] = "#pragma iChannel1 BufferA\nfloat shared_value() { return 0.5; }\n";
    RecordingLog log;
    result = build_pass_set(sources);
    ASSERT_NE(result.programs[kMainPass], 0u) << log.joined();
    ASSERT_NE(result.programs[kBufferCPass], 0u) << log.joined();
    EXPECT_EQ(result.channels[1], 0u);
    EXPECT_EQ(result.channels[4 * kBufferCPass], 11u);
    // BufferC's channel 0 samples unit 12.
    GLint unit = -1;
    glGetUniformiv(result.programs[kBufferCPass], glGetUniformLocation(result.programs[kBufferCPass], "iChannel0"),
                   &unit);
    EXPECT_EQ(unit, 12);
}

TEST_F(PassSetBuild, NoMainTextMeansNothingIsBuilt) {
    PassSetSources sources = {};
    sources.texts[kBufferAPass] = kGoodPass;
    RecordingLog log;
    result = build_pass_set(sources);
    for (GLuint program : result.programs) EXPECT_EQ(program, 0u);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(PassSetBuild, ACompanionThatIsThereButCannotBeReadMakesTheSetIncomplete) {
    folder.write("scene.glsl", kGoodPass);
    const UnreadableFile companion(folder.file("scene.a.glsl"));
    ASSERT_FALSE(companion.path.empty());
    RecordingLog log;
    load(folder.file("scene.glsl"));
    EXPECT_NE(result.programs[kMainPass], 0u);
    EXPECT_EQ(result.failed_passes, 1);
    EXPECT_TRUE(log.has_prefix("load shader cannot read:" + folder.file("scene.a.glsl"))) << log.joined();
}
