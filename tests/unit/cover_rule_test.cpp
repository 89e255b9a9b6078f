// When a window in front counts as hiding the wallpaper.
#include <gtest/gtest.h>

#include "desktop/cover_rule.h"

static const PixelRect kScreen = {0, 0, 1920, 1080};

static ForegroundFacts window_at(PixelRect rect) { return ForegroundFacts{true, false, kScreen, rect}; }

TEST(CoverRule, MaximisedOnThePrimaryMonitorOrNinetyPercentOfIt) {
    ForegroundFacts maximised = window_at(PixelRect{-8, -8, 1928, 1048});
    maximised.maximised = true;
    EXPECT_TRUE(foreground_covers(maximised, kScreen));
    ForegroundFacts elsewhere = window_at(PixelRect{1912, -8, 3848, 1048});
    elsewhere.maximised = true;
    elsewhere.monitor = PixelRect{1920, 0, 3840, 1080};
    EXPECT_FALSE(foreground_covers(elsewhere, kScreen)) << "maximised on another monitor";

    EXPECT_TRUE(foreground_covers(window_at(kScreen), kScreen)) << "full screen";
    EXPECT_TRUE(foreground_covers(window_at(PixelRect{0, 0, 1920, 972}), kScreen)) << "exactly 90 %";
    EXPECT_FALSE(foreground_covers(window_at(PixelRect{0, 0, 1920, 971}), kScreen));
    EXPECT_FALSE(foreground_covers(window_at(PixelRect{0, 0, 960, 1080}), kScreen)) << "half";
    EXPECT_FALSE(foreground_covers(window_at(PixelRect{1920, 0, 3840, 1080}), kScreen)) << "the other monitor";

    ForegroundFacts ours = window_at(kScreen);
    ours.can_cover = false;
    EXPECT_FALSE(foreground_covers(ours, kScreen));
}

TEST(CoverRule, OnlyFullScreenAndPresentationStatesCoverAndTheShellNever) {
    for (int state = 0; state <= 7; ++state) EXPECT_EQ(notification_state_covers(state), state == 3 || state == 4);
    EXPECT_TRUE(is_shell_desktop_class("Progman"));
    EXPECT_TRUE(is_shell_desktop_class("Shell_TrayWnd"));
    EXPECT_FALSE(is_shell_desktop_class("Notepad"));
}
