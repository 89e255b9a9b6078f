// What the user set and why the player rests, as the log tells it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/pause_state.h"
#include "app/player_settings.h"
#include "tests/support/recording_log.h"

static const char* text_from_map(const char* key, void* user) {
    const auto* values = static_cast<std::map<std::string, std::string>*>(user);
    const auto found = values->find(key);
    return found == values->end() ? nullptr : found->second.c_str();
}

TEST(PlayerSettings, MissingKeysAreDefaultsAndBadValuesAreNamedOnce) {
    RecordingLog log;
    std::map<std::string, std::string> file;
    const PlayerSettings missing = read_player_settings(text_from_map, &file);
    EXPECT_TRUE(same_settings(missing, kDefaultPlayerSettings));
    EXPECT_TRUE(log.lines.empty()) << "a missing key is silent";

    file = {{"frame_rate", " 20 "}, {"render_scale", "50"}, {"pause_when_covered", "0"}, {"monitors", "span"}};
    const PlayerSettings set = read_player_settings(text_from_map, &file);
    EXPECT_EQ(set.frame_rate, 20);
    EXPECT_EQ(set.render_scale, 50);
    EXPECT_FALSE(set.pause_when_covered);
    EXPECT_TRUE(set.pause_on_battery_saver);
    EXPECT_EQ(set.monitors, MonitorLayout::Span);
    EXPECT_TRUE(log.lines.empty());

    file = {{"frame_rate", "fast"}, {"render_scale", "10"}, {"pause_when_covered", "1x"}, {"pause_on_battery_saver", ""},
            {"monitors", "all\n"}};
    const PlayerSettings bad = read_player_settings(text_from_map, &file);
    EXPECT_TRUE(same_settings(bad, kDefaultPlayerSettings));
    ASSERT_EQ(log.lines.size(), 5u) << log.joined();
    EXPECT_EQ(log.lines[4], "settings: monitors=all\\x0A is not one of each, span, duplicate, primary; each is used");
    EXPECT_EQ(log.lines[0], "settings: frame_rate=fast is not a whole number from 0 to 1000; 0 is used");
    EXPECT_EQ(log.lines[1], "settings: render_scale=10 is not a whole number from 25 to 100; 100 is used");
    EXPECT_EQ(read_setting("frame_rate", "99999999999999999999", 0, 0, 1000), 0) << "no overflow";
}

TEST(PauseState, EachReasonIsLoggedWhenItStartsAndTheEndOfTheRestOnce) {
    RecordingLog log;
    set_pause_reason(kPausedCovered, true);
    set_pause_reason(kPausedCovered, true);
    set_pause_reason(kPausedLocked, true);
    EXPECT_TRUE(player_paused());
    set_pause_reason(kPausedCovered, false);
    EXPECT_TRUE(player_paused()) << "still locked";
    set_pause_reason(kPausedLocked, false);
    set_pause_reason(kPausedByUser, false);
    EXPECT_FALSE(player_paused());
    const std::vector<std::string> expected = {"paused: covered", "paused: locked", "resumed"};
    EXPECT_EQ(log.lines, expected);
}
