// The player's sets on a desk that changes: a set per monitor identity that
// survives the others coming and going, and a duplicated picture.
#include <gtest/gtest.h>

#include <string>

#include "app/player_sets.h"
#include "render/render_resources.h"
#include "tests/support/fake_platform.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

// A 32 × 32 primary and a 32 × 32 monitor left of and 16 px above it, in a
// 64 × 64 test window.
static const MonitorRect kTwoMonitors[] = {{0, 0, 32, 32, true}, {-32, -16, 32, 32, false}};
static const MonitorRect kNoMonitor = {0, 0, 64, 64, false};
static const char* const kIdentities[] = {"primary-panel", "left-panel"};

struct Paths {
    std::string red;
    std::string green;
};

static const char* path_for(const char* identity, void* user) {
    const Paths* paths = static_cast<const Paths*>(user);
    return std::string(identity) == "left-panel" ? paths->green.c_str() : paths->red.c_str();
}

class PlayerSets : public GlTest {
  protected:
    void SetUp() override {
        set_fake_time_milliseconds(5000);
        set_fake_counter(1000, 1000);
        paths.red = folder.write("red.glsl", "void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0, 0.0, 0.0, 1.0); }\n");
        paths.green =
            folder.write("green.glsl", "void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 1.0, 0.0, 1.0); }\n");
        create_render_resources();
        resize_player_sets(64, 64);
        create_player_sets();
        // As the player starts: one set over the window, then the plan.
        install_on_every_set(paths.red.c_str(), InstallRule::MainMustBuild);
    }

    void TearDown() override {
        destroy_player_sets();
        destroy_render_resources();
    }

    void arrange(MonitorLayout layout, int monitors) {
        arrange_player_sets(plan_pictures(layout, kTwoMonitors, monitors, kNoMonitor), kIdentities, path_for, &paths);
    }

    // Red, green or blue: whichever is brightest at a window pixel, '-' for none.
    static char colour_at(int x, int y) {
        unsigned char pixel[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        if (pixel[0] > 200) return 'r';
        if (pixel[1] > 200) return 'g';
        return '-';
    }

    static void draw() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        draw_player_sets();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    TempFolder folder{"lumenfold-sets"};
    RecordingLog log;
    Paths paths;
};

TEST_F(PlayerSets, EveryMonitorKeepsItsOwnSetWhileAnotherComesAndGoes) {
    arrange(MonitorLayout::Each, 2);
    ASSERT_EQ(player_set_count(), 2);
    draw();
    EXPECT_EQ(colour_at(40, 8), 'r') << "the primary's part of the window";
    EXPECT_EQ(colour_at(8, 40), 'g') << "the left monitor's, 16 px higher";
    EXPECT_EQ(colour_at(8, 4), '-') << "below the left monitor nothing is shown";
    draw();
    const GLuint primary_program = player_set(0).programs[kMainPass];
    const int primary_frames = player_set(0).clock.frame;

    arrange(MonitorLayout::Each, 1);  // the left monitor is unplugged
    ASSERT_EQ(player_set_count(), 1);
    EXPECT_TRUE(log.has_prefix("monitor gone: left-panel, ")) << log.joined();
    EXPECT_EQ(player_set(0).programs[kMainPass], primary_program) << "the primary's set plays on";
    EXPECT_EQ(player_set(0).clock.frame, primary_frames) << "without a restart";

    arrange(MonitorLayout::Each, 2);  // and plugged back
    draw();
    EXPECT_EQ(colour_at(8, 40), 'g') << "its own set is back";
    EXPECT_EQ(player_set(0).clock.frame, primary_frames + 1);
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();
}

TEST_F(PlayerSets, ADuplicatedPictureCoversEveryOtherMonitor) {
    arrange(MonitorLayout::Duplicate, 2);
    ASSERT_EQ(player_set_count(), 1);
    draw();
    EXPECT_EQ(colour_at(40, 8), 'r');
    EXPECT_EQ(colour_at(8, 40), 'r') << "the primary's picture on the left monitor";
    EXPECT_EQ(colour_at(8, 4), '-');
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();
}

TEST_F(PlayerSets, ACoveredMonitorRestsShowingItsLastPictureWhileTheOtherPlays) {
    arrange(MonitorLayout::Each, 2);
    draw();
    set_monitor_covered("left-panel", true);
    EXPECT_TRUE(log.has_prefix("monitor rests: left-panel")) << log.joined();
    const int left_frames = player_set(1).clock.frame;
    draw();
    draw();
    EXPECT_EQ(player_set(1).clock.frame, left_frames) << "its frames stop";
    EXPECT_EQ(player_set(0).clock.frame, left_frames + 2) << "the other's go on";
    EXPECT_EQ(colour_at(8, 40), 'g') << "its last picture stays on screen";
    EXPECT_TRUE(any_player_set_awake());
    ASSERT_TRUE(toggle_monitor_pause("primary-panel"));
    EXPECT_FALSE(any_player_set_awake()) << "nothing is left to draw";
    set_monitor_covered("left-panel", false);
    EXPECT_TRUE(log.has_prefix("monitor plays: left-panel"));
    draw();
    EXPECT_EQ(player_set(1).clock.frame, left_frames + 1);
}

TEST_F(PlayerSets, AWindowGivenASizeOfItsOwnIsCoveredByOneSet) {
    arrange(MonitorLayout::Each, 2);
    resize_player_sets(64, 48);  // the plan's own size changes nothing
    ASSERT_EQ(player_set_count(), 2);
    resize_player_sets(20, 10);
    ASSERT_EQ(player_set_count(), 1);
    draw();
    EXPECT_EQ(render_width(player_set(0)), 20);
    EXPECT_EQ(colour_at(4, 4), 'r') << "from the window's corner";
}

// Halfway through a fade both pictures count as much; afterwards the old
// set is gone with its targets, and a set asked for cuts in at once.
TEST_F(PlayerSets, AFadeBlendsBothPicturesThenFreesTheOldSet) {
    const std::string blue =
        folder.write("blue.glsl", "void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 0.0, 1.0, 1.0); }\n");
    draw();
    const uint64_t one_set = render_target_bytes(player_set(0));
    EXPECT_FALSE(fade_player_set(0, folder.file("missing.glsl").c_str(), 2.0)) << "a set that does not build";
    draw();
    EXPECT_EQ(colour_at(10, 10), 'r') << "leaves the old one playing";
    ASSERT_TRUE(fade_player_set(0, blue.c_str(), 2.0));
    ASSERT_EQ(playing_record_count(), 2);
    draw();
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255) << "the fade starts from the old picture";
    EXPECT_EQ(pixel[2], 0);

    set_fake_counter(2000, 1000);  // one of the two seconds
    draw();
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 128, 2) << "the mean of red and blue";
    EXPECT_NEAR(pixel[1], 0, 2);
    EXPECT_NEAR(pixel[2], 128, 2);
    const uint64_t fading = render_target_bytes(*playing_record(0)) + render_target_bytes(*playing_record(1));
    EXPECT_GT(fading, one_set) << "both records hold targets";
    EXPECT_EQ(playing_record(2), nullptr);

    set_fake_counter(3000, 1000);
    draw();
    EXPECT_FALSE(player_set_fading(0));
    EXPECT_EQ(playing_record_count(), 1) << "only one record is left";
    EXPECT_TRUE(log.has_prefix("fade done: (all), ")) << log.joined();
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[2], 255);
    EXPECT_EQ(pixel[0], 0);
    draw();
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[2], 255) << "drawn straight into the window again";
    EXPECT_EQ(render_target_bytes(player_set(0)), one_set) << "the set's own targets only";
    printf("figure: target bytes %llu during the fade, %llu after it\n", static_cast<unsigned long long>(fading),
           static_cast<unsigned long long>(render_target_bytes(player_set(0))));

    ASSERT_TRUE(fade_player_set(0, paths.red.c_str(), 2.0));
    install_on_every_set(paths.green.c_str(), InstallRule::MainMustBuild);
    EXPECT_FALSE(player_set_fading(0)) << "a set asked for cuts the fade short";
    draw();
    EXPECT_EQ(colour_at(10, 10), 'g');
    EXPECT_EQ(log.find_prefix("GL:"), -1) << log.joined();
}
