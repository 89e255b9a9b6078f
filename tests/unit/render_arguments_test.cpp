#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

#include "render_tool/offscreen_render.h"
#include "render_tool/render_arguments.h"

static const char* parse(std::initializer_list<const char*> words, RenderArguments* arguments) {
    std::vector<const char*> argv = {"lumenfold-render"};
    argv.insert(argv.end(), words);
    return parse_render_arguments(static_cast<int>(argv.size()), argv.data(), arguments);
}

TEST(RenderArguments, OnlyTheOutputIsNeededTheRestHasDefaults) {
    RenderArguments arguments;
    ASSERT_EQ(parse({"-o", "out.png"}, &arguments), nullptr);
    EXPECT_EQ(arguments.pass_set_path, nullptr) << "the built-in wallpaper";
    EXPECT_STREQ(arguments.output_path, "out.png");
    EXPECT_EQ(arguments.width, 1280);
    EXPECT_EQ(arguments.height, 720);
    EXPECT_EQ(arguments.frames_per_second, 60);
    EXPECT_EQ(last_frame_number(arguments), 0) << "one frame";
}

TEST(RenderArguments, EveryOptionInAnyOrderAroundThePath) {
    RenderArguments arguments;
    ASSERT_EQ(parse({"--time", "0.5", "disc.glsl", "--size", "320x180", "--fps", "24", "-o", "d.png"}, &arguments),
              nullptr);
    EXPECT_STREQ(arguments.pass_set_path, "disc.glsl");
    EXPECT_EQ(arguments.width, 320);
    EXPECT_EQ(arguments.height, 180);
    EXPECT_EQ(arguments.frames_per_second, 24);
    EXPECT_EQ(last_frame_number(arguments), 12);
}

TEST(RenderArguments, TheLastFrameIsTheTimeRoundedToWholeFrames) {
    RenderArguments arguments;
    ASSERT_EQ(parse({"-o", "o.png", "--time", "0.51"}, &arguments), nullptr);
    EXPECT_EQ(last_frame_number(arguments), 31);
    ASSERT_EQ(parse({"-o", "o.png", "--time", "0.49", "--fps", "10"}, &arguments), nullptr);
    EXPECT_EQ(last_frame_number(arguments), 5);
}

TEST(RenderArguments, BadArgumentsAreRefused) {
    RenderArguments arguments;
    for (std::initializer_list<const char*> words : {
             std::initializer_list<const char*>{"-o", "o.png", "--quality", "9"},
             {"set.glsl"},
             {"-o"},
             {"-o", "o.png", "--size", "0x5"},
             {"-o", "o.png", "--size", "10x"},
             {"-o", "o.png", "--size", "x10"},
             {"-o", "o.png", "--size", "10x-5"},
             {"-o", "o.png", "--size", "16385x10"},
             {"-o", "o.png", "--size", "99999999999999999999x10"},
             {"-o", "o.png", "--time", "-1"},
             {"-o", "o.png", "--time", "1s"},
             {"-o", "o.png", "--time", "nan"},
             {"-o", "o.png", "--time", "1e30"},
             {"-o", "o.png", "--fps", "0"},
             {"-o", "o.png", "--fps", "+5"},
             {"-o", "o.png", "a.glsl", "b.glsl"},
         }) {
        EXPECT_NE(parse(words, &arguments), nullptr) << *(words.end() - 1);
    }
}

TEST(RenderFrameInputs, FrameNHasTimeNOverTheRateAndADateThatAdvancesWithIt) {
    const FrameInputs inputs = fixed_step_frame_inputs(30, 60);
    EXPECT_EQ(inputs.timing.frame, 30);
    EXPECT_EQ(inputs.timing.time, 0.5);
    EXPECT_EQ(inputs.timing.time_delta, 1.0 / 60);
    EXPECT_EQ(inputs.timing.frame_rate, 60.0);
    EXPECT_EQ(inputs.mouse[0], 0.0f);
    EXPECT_TRUE(std::signbit(inputs.mouse[2])) << "z is -0.0 as in the player";
    EXPECT_EQ(inputs.date[0], 2026.0f);
    EXPECT_EQ(inputs.date[1], 0.0f);
    EXPECT_EQ(inputs.date[2], 1.0f);
    EXPECT_EQ(inputs.date[3], 43200.5f);

    // Midnight rolls the day, the end of January the month, 2028 has a 29 February.
    const struct {
        double seconds;
        float year, month, day, since_midnight;
    } cases[] = {
        {43199.0, 2026, 0, 1, 86399},
        {43201.0, 2026, 0, 2, 1},
        {43200.0 + 30 * 86400.0 + 60.0, 2026, 1, 1, 60},
        {43200.0 + (365 + 365 + 31 + 27) * 86400.0, 2028, 1, 29, 0},
        {43200.0 + 364 * 86400.0 - 1.0, 2026, 11, 31, 86399},
    };
    for (const auto& c : cases) {
        float date[4];
        render_date_after(c.seconds, date);
        EXPECT_EQ(date[0], c.year) << c.seconds;
        EXPECT_EQ(date[1], c.month) << c.seconds;
        EXPECT_EQ(date[2], c.day) << c.seconds;
        EXPECT_EQ(date[3], c.since_midnight) << c.seconds;
    }
}
