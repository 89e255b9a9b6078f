// Decisions that depend on the Windows version, the compositor and the
// settings, driven through every branch without that Windows at hand.
#include <gtest/gtest.h>

#include <cmath>

#include "desktop/clock.h"
#include "desktop/dpi_choice.h"
#include "gl/pacing.h"

TEST(DpiChoice, FollowsTheWindowsVersion) {
    EXPECT_EQ(choose_dpi_awareness(true, true), DpiAwarenessCall::ThreadPerMonitorV2);
    EXPECT_EQ(choose_dpi_awareness(false, true), DpiAwarenessCall::ProcessPerMonitor);
    EXPECT_EQ(choose_dpi_awareness(false, false), DpiAwarenessCall::ProcessSystemAware);
}

static int compositor_calls = 0;
static long compositor_enabled(int* enabled) {
    ++compositor_calls;
    *enabled = 1;
    return 0;
}
static long compositor_disabled(int* enabled) {
    ++compositor_calls;
    *enabled = 0;
    return 0;
}
static long compositor_failing(int* enabled) {
    ++compositor_calls;
    *enabled = 1;
    return -2147467259;  // E_FAIL
}

struct PacingRow {
    bool at_least_6_0;
    bool at_least_6_2;
    CompositionQuery compositor;
    int configured_interval;
    int expected_driver_interval;
    int expected_waits;
    int expected_compositor_calls;
};

TEST(Pacing, DecisionRows) {
    const PacingRow rows[] = {
        // Windows 8 and later: always composed, the compositor is not asked.
        {true, true, compositor_disabled, 1, 0, 1, 0},
        // Vista and 7 follow the compositor's answer.
        {true, false, compositor_enabled, 1, 0, 1, 1},
        {true, false, compositor_disabled, 1, 1, 0, 1},
        {true, false, compositor_failing, 1, 1, 0, 1},
        // Before Vista there is no compositor to ask.
        {false, false, compositor_enabled, 1, 1, 0, 0},
        // An interval of 0 never waits, composed or not.
        {true, true, compositor_enabled, 0, 0, 0, 0},
        {false, false, compositor_enabled, 0, 0, 0, 0},
        // Larger intervals wait once per unit.
        {true, true, compositor_enabled, 3, 0, 3, 0},
        {true, false, compositor_disabled, 2, 2, 0, 1},
    };
    for (const PacingRow& row : rows) {
        compositor_calls = 0;
        const bool on = composition_is_on(row.at_least_6_0, row.at_least_6_2, row.compositor);
        EXPECT_EQ(driver_swap_interval(on, row.configured_interval), row.expected_driver_interval);
        EXPECT_EQ(compositor_waits_per_frame(on, row.configured_interval), row.expected_waits);
        EXPECT_EQ(compositor_calls, row.expected_compositor_calls);
    }
}

TEST(Pacing, MissingCompositorQueryCountsAsOff) { EXPECT_FALSE(composition_is_on(true, false, nullptr)); }

TEST(Clock, CounterAbove2To31IsPositive) {
    const uint32_t past_half = 0x80000000u + 1234u;
    const double seconds = seconds_from_milliseconds(past_half);
    EXPECT_GT(seconds, 2147483.648);
    EXPECT_DOUBLE_EQ(seconds, 2147484.882);
    EXPECT_DOUBLE_EQ(seconds_from_milliseconds(0xFFFFFFFFu), 4294967.295);
}

TEST(Clock, ElapsedTimeKeepsGrowingAcrossTheCounterWrap) {
    const double before_wrap = seconds_from_milliseconds(0xFFFFFC18u);  // 1000 ms before the wrap
    const double after_wrap = seconds_from_milliseconds(500u);
    EXPECT_NEAR(elapsed_seconds_between(before_wrap, after_wrap), 1.5, 1e-9);
    EXPECT_NEAR(elapsed_seconds_between(seconds_from_milliseconds(1000u), seconds_from_milliseconds(3500u)), 2.5, 1e-9);
}
