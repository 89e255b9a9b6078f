// The clock behind iTime and iFrame: months of uptime and rests must not
// show in the animation.
#include <gtest/gtest.h>

#include <cstdint>

#include "render/frame_clock.h"
#include "tests/support/fake_platform.h"
#include "tests/support/recording_log.h"

static void at(uint32_t milliseconds) {
    set_fake_time_milliseconds(milliseconds);
    set_fake_counter(milliseconds, 1000);
}

TEST(FrameClock, IFrameNeverTurnsNegativeNorZeroAfterMonths) {
    EXPECT_EQ(frame_after(0), 1);
    EXPECT_EQ(frame_after(INT32_MAX - 1), INT32_MAX);
    EXPECT_EQ(frame_after(INT32_MAX), 1 << 30);
    EXPECT_EQ(frame_after(INT32_MAX) % 4096, (INT32_MAX % 4096 + 1) % 4096) << "powers of two run on";
}

TEST(FrameClock, TimeStandsStillWhileRestingAndGoesOnWithAnOrdinaryStep) {
    at(5000);
    FrameClock clock;
    start_frame_clock(&clock);
    at(6000);
    next_frame_timing(&clock);
    count_frame(&clock);
    at(6020);
    EXPECT_DOUBLE_EQ(next_frame_timing(&clock).time, 1.02);
    count_frame(&clock);

    pause_frame_clock(&clock);
    at(66020);  // a minute covered by a window
    resume_frame_clock(&clock);
    EXPECT_FALSE(clock.paused);
    at(66040);
    const FrameTiming after = next_frame_timing(&clock);
    EXPECT_DOUBLE_EQ(after.time, 1.04) << "iTime does not jump";
    EXPECT_DOUBLE_EQ(after.time_delta, 0.02) << "the first step is the last ordinary one";
    EXPECT_EQ(after.frame, 2) << "iFrame continues";

    pause_frame_clock(&clock);
    at(70000);
    restart_frame_count_and_time(&clock);  // a set installed while resting
    at(90000);
    resume_frame_clock(&clock);
    EXPECT_DOUBLE_EQ(next_frame_timing(&clock).time, 0.0) << "its time starts when the rest ends";
}

TEST(FrameClock, OneSetRestingLeavesAnotherSetsTimeAndFramesGoing) {
    at(1000);
    FrameClock resting;
    FrameClock playing;
    start_frame_clock(&resting);
    start_frame_clock(&playing);
    pause_frame_clock(&resting);
    for (uint32_t now = 1020; now <= 2000; now += 20) {
        at(now);
        next_frame_timing(&playing);
        count_frame(&playing);
    }
    at(3000);
    resume_frame_clock(&resting);
    EXPECT_DOUBLE_EQ(next_frame_timing(&resting).time, 0.0) << "its rest is left out";
    EXPECT_EQ(resting.frame, 0);
    EXPECT_DOUBLE_EQ(next_frame_timing(&playing).time, 2.0);
    EXPECT_EQ(playing.frame, 50);
}

TEST(FrameClock, ITimeIsExactAcrossMonthsAndASetStartsAfreshAtARestOnceItsStepIsCoarse) {
    const int64_t frequency = 10000000;  // the counter's usual 10 MHz
    const int64_t day = 86400 * frequency;
    set_fake_counter(0, frequency);
    FrameClock clock;
    start_frame_clock(&clock);
    set_fake_counter(50 * day + 1, frequency);  // past the 32-bit millisecond wrap
    EXPECT_DOUBLE_EQ(next_frame_timing(&clock).time, 50 * 86400.0 + 1e-7);
    EXPECT_NEAR(float_time_step_at(86400.0), 0.0078125, 1e-9) << "7.8 ms after a day";
    EXPECT_LT(float_time_step_at(16383.0), kCoarsestTimeStep);

    RecordingLog log;
    set_fake_counter(0, frequency);
    restart_frame_count_and_time(&clock);
    count_frame(&clock);
    set_fake_counter(16383 * frequency, frequency);
    EXPECT_FALSE(rest_frame_clock(&clock)) << "not yet coarse";
    EXPECT_TRUE(clock.paused);
    set_fake_counter(16400 * frequency, frequency);
    resume_frame_clock(&clock);
    set_fake_counter(16400 * frequency + frequency, frequency);  // iTime 16384 s: 1.95 ms steps
    EXPECT_TRUE(rest_frame_clock(&clock));
    EXPECT_FALSE(rest_frame_clock(&clock)) << "one fresh start per rest";
    EXPECT_TRUE(log.has_prefix("iTime reached 16384 s, where its float step is 2.0 ms")) << log.joined();
    set_fake_counter(20000 * frequency, frequency);
    resume_frame_clock(&clock);
    const FrameTiming fresh = next_frame_timing(&clock);
    EXPECT_DOUBLE_EQ(fresh.time, 0.0) << "time starts again when the rest ends";
    EXPECT_EQ(fresh.frame, 0);
}
