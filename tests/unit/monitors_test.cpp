// The monitors as the player reads them, presented through the seam: how
// they are numbered, what the log says of them, and how a new reading is
// matched to the last one.
#include <gtest/gtest.h>

#include <cstring>

#include "desktop/monitor_watch.h"
#include "tests/support/recording_log.h"

static MonitorList presented{};

static MonitorList presented_layout() { return presented; }

static Monitor monitor_at(int x, int y, int width, int height, const char* identity, const char* device = "",
                          int dpi = 96) {
    Monitor monitor{};
    monitor.x = x;
    monitor.y = y;
    monitor.width = width;
    monitor.height = height;
    monitor.primary = x == 0 && y == 0;
    monitor.dpi = dpi;
    strcpy(monitor.device_name, device);
    strcpy(monitor.identity, identity);
    return monitor;
}

static void present(std::initializer_list<Monitor> monitors) {
    presented = MonitorList{};
    for (const Monitor& monitor : monitors) presented.monitors[presented.count++] = monitor;
}

class Monitors : public ::testing::Test {
  protected:
    void SetUp() override { set_monitor_source(presented_layout); }
    void TearDown() override { set_monitor_source(nullptr); }
};

TEST_F(Monitors, ThePrimaryIsOneAndTheOthersFollowLeftToRightThenTopToBottom) {
    // An L: the primary, one right of it and one below it, listed primary
    // last; plus one at negative coordinates above and left.
    present({monitor_at(1920, 0, 1280, 1024, "right"), monitor_at(0, 1080, 1920, 1080, "below"),
             monitor_at(-1024, -300, 1024, 768, "left"), monitor_at(0, 0, 1920, 1080, "primary")});
    const MonitorList list = read_monitors();
    ASSERT_EQ(list.count, 4);
    const char* expected[] = {"primary", "left", "below", "right"};
    for (int index = 0; index < 4; ++index) EXPECT_STREQ(list.monitors[index].identity, expected[index]);
}

TEST_F(Monitors, TheLogGivesEachMonitorItsNumberSizeAndPlace) {
    present({monitor_at(-1024, -300, 1024, 768, "\\\\?\\DISPLAY#B#2", "\\\\.\\DISPLAY2", 144),
             monitor_at(0, 0, 1280, 720, "\\\\?\\DISPLAY#A#1", "\\\\.\\DISPLAY1", 96)});
    RecordingLog log;
    start_monitor_watch();
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0], "monitors: 2");
    EXPECT_EQ(log.lines[1], "monitor 1: 1280 720 at 0 0 primary \\\\?\\DISPLAY#A#1");
    EXPECT_EQ(log.lines[2], "monitor 2: 1024 768 at -1024 -300 \\\\?\\DISPLAY#B#2");
    // Mixed scaling: each keeps its own.
    EXPECT_EQ(known_monitors().monitors[0].dpi, 96);
    EXPECT_EQ(known_monitors().monitors[1].dpi, 144);
}

TEST_F(Monitors, AReadingIsLoggedOnlyWhenTheSetOrAPlaceChanged) {
    present({monitor_at(0, 0, 1280, 720, "a"), monitor_at(-1024, -300, 1024, 768, "b")});
    start_monitor_watch();
    RecordingLog log;
    MonitorChanges changes = follow_monitors();
    EXPECT_FALSE(changes.differs);
    EXPECT_TRUE(log.lines.empty()) << "a setting change that moved nothing says nothing";

    present({monitor_at(0, 0, 1280, 720, "a")});
    changes = follow_monitors();
    EXPECT_TRUE(changes.differs);
    ASSERT_EQ(changes.disconnected_count, 1);
    EXPECT_EQ(known_monitors().count, 1);
    EXPECT_EQ(changes.disconnected[0], 1) << "into the old list";
    EXPECT_EQ(log.lines, (std::vector<std::string>{"monitors: 1", "monitor 1: 1280 720 at 0 0 primary a"}));

    present({monitor_at(0, 0, 1280, 720, "a"), monitor_at(1280, 0, 1920, 1080, "b")});
    changes = follow_monitors();
    ASSERT_EQ(changes.connected_count, 1);
    EXPECT_STREQ(known_monitors().monitors[changes.connected[0]].identity, "b");
    EXPECT_EQ(changes.resized_count, 0) << "a monitor that comes back is connected, not resized";

    present({monitor_at(0, 0, 1280, 720, "a"), monitor_at(1280, 0, 800, 600, "b")});
    changes = follow_monitors();
    EXPECT_TRUE(changes.differs);
    ASSERT_EQ(changes.resized_count, 1);
    EXPECT_EQ(changes.resized[0], 1);
    EXPECT_EQ(changes.connected_count + changes.disconnected_count, 0);
}

TEST_F(Monitors, ARenumberedDockKeepsEveryIdentity) {
    present({monitor_at(0, 0, 1920, 1080, "dell", "\\\\.\\DISPLAY1"),
             monitor_at(1920, 0, 2560, 1440, "lg", "\\\\.\\DISPLAY2")});
    const MonitorList before = read_monitors();
    // Docked again: the system names the devices the other way round and
    // the user made the other monitor the primary, left of the first.
    Monitor lg = monitor_at(0, 0, 2560, 1440, "lg", "\\\\.\\DISPLAY1");
    Monitor dell = monitor_at(2560, 0, 1920, 1080, "dell", "\\\\.\\DISPLAY3");
    present({dell, lg});
    const MonitorList after = read_monitors();
    const MonitorChanges changes = compare_monitors(before, after);
    EXPECT_TRUE(changes.differs) << "the numbers changed";
    EXPECT_EQ(changes.connected_count + changes.disconnected_count + changes.resized_count, 0);
    EXPECT_EQ(find_monitor(after, "lg"), 0);
    EXPECT_EQ(find_monitor(after, "dell"), 1);
    EXPECT_EQ(find_monitor(after, "gone"), -1);
}
