// What the user set and why the player rests, as the log tells it.
#include <gtest/gtest.h>

#include <cstring>
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

    file = {{"frame_rate", " 20 "}, {"render_scale", "50"}, {"pause_when_covered", "0"}, {"monitors", "span   ; one picture"}};
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

TEST(PlayerSettings, InlineCommentsAfterWhitespaceAreNoPartOfTheValue) {
    RecordingLog log;
    EXPECT_EQ(read_setting("render_scale", "75          ; percent per side", 100, 25, 100), 75);
    EXPECT_EQ(read_setting("frame_rate", "30\t; frames", 0, 0, 1000), 30);
    EXPECT_TRUE(log.lines.empty()) << log.joined();
    EXPECT_EQ(read_setting("frame_rate", "30;frames", 0, 0, 1000), 0) << "a ';' within the word is no comment";
    EXPECT_EQ(read_setting("frame_rate", " ; only a comment", 0, 0, 1000), 0);
    EXPECT_EQ(log.lines.size(), 2u);
}

static std::u16string repeated(char16_t unit, size_t count) { return std::u16string(count, unit); }

static const char* converted(const std::u16string& units, SettingText8* out) {
    return setting_text_from_utf16(reinterpret_cast<const uint16_t*>(units.data()), units.size(), out);
}

TEST(PlayerSettings, ValuesAreConvertedWholeAndTerminatedOrRejectedByName) {
    SettingText8 out;
    memset(out.text, 'x', sizeof out.text);
    const char* text = converted(repeated(u'\u00e9', 127), &out);
    ASSERT_EQ(text, out.text);
    EXPECT_EQ(strlen(text), 254u) << "127 two-byte characters, whole and terminated";
    EXPECT_EQ(std::string(converted(repeated(u'\u58c1', kSettingTextLimit), &out)).size(), 3 * kSettingTextLimit);

    RecordingLog log;
    text = converted(repeated(u'7', kSettingTextLimit + 1), &out);
    EXPECT_EQ(text, kOverlongSetting);
    EXPECT_EQ(read_setting("frame_rate", text, 0, 0, 1000), 0);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "settings: the value of frame_rate is longer than 255 characters; 0 is used");
    log.lines.clear();
    read_setting("frame_rate", converted(repeated(u'\u00e9', 127), &out), 0, 0, 1000);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].find("settings: frame_rate=\xc3\xa9\xc3\xa9"), 0u) << log.lines[0];
    EXPECT_NE(log.lines[0].find("\xc3\xa9 is not a whole number"), std::string::npos) << "nothing after the value";
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
