// The clock behind iTime and iFrame: months of uptime and rests must not
// show in the animation.
#include <gtest/gtest.h>

#include <cstdint>

#include "render/frame_clock.h"
#include "tests/support/fake_platform.h"

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
    start_frame_clock();
    restart_frame_count_and_time();
    at(6000);
    next_frame_timing();
    count_frame();
    at(6020);
    EXPECT_DOUBLE_EQ(next_frame_timing().time, 1.02);
    count_frame();

    pause_frame_clock();
    at(66020);  // a minute covered by a window
    resume_frame_clock();
    EXPECT_FALSE(frame_clock_paused());
    at(66040);
    const FrameTiming after = next_frame_timing();
    EXPECT_DOUBLE_EQ(after.time, 1.04) << "iTime does not jump";
    EXPECT_DOUBLE_EQ(after.time_delta, 0.02) << "the first step is the last ordinary one";
    EXPECT_EQ(after.frame, 2) << "iFrame continues";

    pause_frame_clock();
    at(70000);
    restart_frame_count_and_time();  // a set installed while resting
    at(90000);
    resume_frame_clock();
    EXPECT_DOUBLE_EQ(next_frame_timing().time, 0.0) << "its time starts when the rest ends";
}
