// The frame-rate cap holds its rate on average without bursts.
#include <gtest/gtest.h>

#include "app/frame_schedule.h"

TEST(FrameSchedule, FramesStartOnePeriodApartAndALateLoopStartsAfresh) {
    FrameSchedule schedule = {0, 0};
    set_frame_rate_cap(&schedule, 20, 1000);
    EXPECT_EQ(ticks_until_next_frame(schedule, 0), 0);
    frame_starts(&schedule, 0);
    EXPECT_EQ(ticks_until_next_frame(schedule, 30), 20);
    frame_starts(&schedule, 53);  // a little late
    EXPECT_EQ(ticks_until_next_frame(schedule, 60), 40) << "due at 100, not at 103";
    frame_starts(&schedule, 400);  // a long stall
    EXPECT_EQ(ticks_until_next_frame(schedule, 400), 50) << "no burst to catch up";

    set_frame_rate_cap(&schedule, 0, 1000);
    EXPECT_EQ(ticks_until_next_frame(schedule, 401), 0) << "no cap";
}
