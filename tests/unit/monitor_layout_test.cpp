// Pictures on desks of monitors: negative origins, an L of three, a primary
// that is not the first the system lists.
#include <gtest/gtest.h>

#include "app/monitor_layout.h"

// A 1024 × 768 monitor left of and 300 px above a 1280 × 720 primary.
static const MonitorRect kLeftAndAbove[] = {{0, 0, 1280, 720, true}, {-1024, -300, 1024, 768, false}};
static const MonitorRect kNoMonitor = {0, 0, 800, 600, false};

static void expect_place(const WindowPlace& place, int x, int y, int width, int height) {
    EXPECT_EQ(place.x, x);
    EXPECT_EQ(place.y, y);
    EXPECT_EQ(place.width, width);
    EXPECT_EQ(place.height, height);
}

TEST(MonitorLayoutPlan, EachMonitorGetsItsOwnPictureAtItsPlaceFromTheWindowsBottomLeft) {
    const PicturePlan plan = plan_pictures(MonitorLayout::Each, kLeftAndAbove, 2, kNoMonitor);
    EXPECT_EQ(plan.window_x, -1024) << "the window covers the virtual screen from its top-left";
    EXPECT_EQ(plan.window_y, -300);
    EXPECT_EQ(plan.window_width, 2304);
    EXPECT_EQ(plan.window_height, 1020);
    ASSERT_EQ(plan.picture_count, 2);
    expect_place(plan.pictures[0], 1024, 0, 1280, 720);
    expect_place(plan.pictures[1], 0, 252, 1024, 768);
    EXPECT_EQ(plan.monitor_of_picture[1], 1);
    EXPECT_EQ(plan.copy_count, 0);
}

TEST(MonitorLayoutPlan, SpanPrimaryAndDuplicateOnAnLOfThreeWithThePrimaryListedLast) {
    const MonitorRect l_of_three[] = {
        {-1920, 0, 1920, 1080, false}, {-1920, 1080, 1080, 1920, false}, {0, 0, 1920, 1080, true}};
    const PicturePlan span = plan_pictures(MonitorLayout::Span, l_of_three, 3, kNoMonitor);
    ASSERT_EQ(span.picture_count, 1);
    expect_place(span.pictures[0], 0, 0, 3840, 3000);
    EXPECT_EQ(span.monitor_of_picture[0], -1);

    const PicturePlan primary = plan_pictures(MonitorLayout::Primary, l_of_three, 3, kNoMonitor);
    EXPECT_EQ(primary.window_x, 0);
    EXPECT_EQ(primary.window_width, 1920);
    ASSERT_EQ(primary.picture_count, 1);
    EXPECT_EQ(primary.monitor_of_picture[0], 2);
    expect_place(primary.pictures[0], 0, 0, 1920, 1080);

    const PicturePlan duplicate = plan_pictures(MonitorLayout::Duplicate, l_of_three, 3, kNoMonitor);
    ASSERT_EQ(duplicate.picture_count, 1);
    expect_place(duplicate.pictures[0], 1920, 1920, 1920, 1080);
    ASSERT_EQ(duplicate.copy_count, 2);
    expect_place(duplicate.copies[0], 0, 1920, 1920, 1080);
    expect_place(duplicate.copies[1], 0, 0, 1080, 1920);
}

TEST(MonitorLayoutPlan, ADeskThatCannotBeReadFallsBackToOnePicture) {
    const PicturePlan plan = plan_pictures(MonitorLayout::Each, nullptr, 0, kNoMonitor);
    ASSERT_EQ(plan.picture_count, 1);
    expect_place(plan.pictures[0], 0, 0, 800, 600);
    EXPECT_TRUE(plan.follows_window);
}

TEST(MonitorLayoutPlan, ACopyCoversItsPlaceCentredWithoutStretching) {
    expect_place(cover_crop(1280, 720, 1024, 768), 160, 0, 960, 720);
    expect_place(cover_crop(1280, 720, 1920, 540), 0, 180, 1280, 360);
    expect_place(cover_crop(1280, 720, 2560, 1440), 0, 0, 1280, 720);
}

TEST(MonitorLayoutPlan, NamesReadAsTheSettingsFileWritesThem) {
    MonitorLayout layout = MonitorLayout::Primary;
    EXPECT_TRUE(monitor_layout_from_name("span", &layout));
    EXPECT_EQ(layout, MonitorLayout::Span);
    EXPECT_STREQ(monitor_layout_name(MonitorLayout::Duplicate), "duplicate");
    EXPECT_FALSE(monitor_layout_from_name("Span ", &layout));
    EXPECT_FALSE(monitor_layout_from_name(nullptr, &layout));
}
