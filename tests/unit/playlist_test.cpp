// A folder as a playlist: which files are sets, the order they take turns
// in, a folder that changes between turns, and a turn that counts play.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/player_settings.h"
#include "app/playlist.h"
#include "tests/support/recording_log.h"
#include "tests/support/temp_folder.h"

static const char kSet[] = "void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0); }\n";

static std::vector<std::string> names(const SetList& list, const std::string& folder) {
    std::vector<std::string> result;
    for (int index = 0; index < list.count; ++index) result.push_back(std::string(list.paths[index]).substr(folder.size() + 1));
    return result;
}

static std::string base_name(const char* path) {
    const std::string text = path ? path : "(none)";
    return text.substr(text.find_last_of("/\\") + 1);
}

TEST(Playlist, MainFilesOfTheFolderAndItsDirectSubfoldersAreItsSets) {
    EXPECT_TRUE(is_main_file_name("waves.glsl"));
    EXPECT_TRUE(is_main_file_name("Waves.GLSL"));
    EXPECT_TRUE(is_main_file_name("two.dots.glsl"));
    EXPECT_TRUE(is_main_file_name("e.glsl")) << "a stem that only looks like a suffix";
    EXPECT_FALSE(is_main_file_name("waves.a.glsl"));
    EXPECT_FALSE(is_main_file_name("waves.D.glsl"));
    EXPECT_FALSE(is_main_file_name("waves.0.glsl"));
    EXPECT_FALSE(is_main_file_name("waves.Cube.glsl"));
    EXPECT_TRUE(is_main_file_name("waves.e.glsl")) << "no companion has that letter";
    EXPECT_FALSE(is_main_file_name("waves.txt"));
    EXPECT_FALSE(is_main_file_name(".glsl"));

    TempFolder folder("lumenfold-playlist");
    folder.write("b.glsl", kSet);
    folder.write("b.a.glsl", kSet);
    folder.write("b.0.glsl", kSet);
    folder.write("A.glsl", kSet);
    folder.write("notes.txt", "");
    folder.make_folder("coral");
    folder.write("coral/coral.glsl", kSet);
    folder.write("coral/coral.b.glsl", kSet);
    folder.make_folder("coral/deeper");
    folder.write("coral/deeper/hidden.glsl", kSet);
    SetList list = list_playlist_sets(folder.path.c_str());
    const std::vector<std::string> expected = {"A.glsl", "b.glsl", "coral/coral.glsl"};
    std::vector<std::string> found = names(list, folder.path);
    for (std::string& name : found) {
        for (char& c : name) c = c == '\\' ? '/' : c;
    }
    EXPECT_EQ(found, expected) << "by name, letter case apart; two levels down is no part of it";
    free_set_list(&list);
    SetList missing = list_playlist_sets(folder.file("nowhere").c_str());
    EXPECT_EQ(missing.count, 0);
}

class PlaylistTurns : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"blue.glsl", "green.glsl", "red.glsl", "white.glsl"}) folder.write(name, kSet);
    }
    void TearDown() override { close_playlist(&list); }

    // The next `count` sets by their file names.
    std::vector<std::string> take(int count) {
        std::vector<std::string> taken;
        for (int index = 0; index < count; ++index) taken.push_back(base_name(next_playlist_set(&list)));
        return taken;
    }

    TempFolder folder{"lumenfold-turns"};
    Playlist list{};
};

TEST_F(PlaylistTurns, NameOrderGoesRoundAndRound) {
    open_playlist(&list, folder.path.c_str(), PlaylistOrder::Name, 1);
    const std::vector<std::string> expected = {"blue.glsl", "green.glsl", "red.glsl", "white.glsl", "blue.glsl"};
    EXPECT_EQ(take(5), expected);
}

TEST_F(PlaylistTurns, AShuffledRoundPlaysEverySetOnceAndNeverRepeatsAcrossRounds) {
    std::set<std::vector<std::string>> orders;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        open_playlist(&list, folder.path.c_str(), PlaylistOrder::Shuffle, seed);
        std::vector<std::string> played = take(4 * 6);
        close_playlist(&list);
        for (int round = 0; round < 6; ++round) {
            const std::set<std::string> once(played.begin() + 4 * round, played.begin() + 4 * round + 4);
            EXPECT_EQ(once.size(), 4u) << "seed " << seed << ", round " << round;
        }
        for (size_t at = 1; at < played.size(); ++at) EXPECT_NE(played[at], played[at - 1]) << "seed " << seed;
        orders.insert(std::vector<std::string>(played.begin(), played.begin() + 4));
    }
    EXPECT_GT(orders.size(), 10u) << "the seeds give orders of their own";
}

TEST_F(PlaylistTurns, ASetAddedJoinsTheNextRoundAndOneRemovedLeavesThisOne) {
    open_playlist(&list, folder.path.c_str(), PlaylistOrder::Name, 1);
    EXPECT_EQ(take(1), std::vector<std::string>{"blue.glsl"});
    folder.write("amber.glsl", kSet);
    remove(folder.file("red.glsl").c_str());
    EXPECT_TRUE(refresh_playlist(&list));
    EXPECT_FALSE(refresh_playlist(&list)) << "nothing changed since";
    const std::vector<std::string> expected = {"green.glsl", "white.glsl", "amber.glsl", "blue.glsl"};
    EXPECT_EQ(take(4), expected);
    folder.write("red.glsl", kSet);
    refresh_playlist(&list);
    for (const char* name : {"amber.glsl", "blue.glsl", "green.glsl", "red.glsl", "white.glsl"}) {
        remove(folder.file(name).c_str());
    }
    refresh_playlist(&list);
    EXPECT_EQ(next_playlist_set(&list), nullptr) << "an empty folder has nothing to play";
}

TEST_F(PlaylistTurns, AResumedPlaylistStartsWithTheSetItPlayed) {
    open_playlist(&list, folder.path.c_str(), PlaylistOrder::Name, 1);
    start_playlist_at(&list, folder.file("red.glsl").c_str());
    EXPECT_EQ(take(1), std::vector<std::string>{"red.glsl"});
    close_playlist(&list);
    open_playlist(&list, folder.path.c_str(), PlaylistOrder::Shuffle, 7);
    start_playlist_at(&list, folder.file("gone.glsl").c_str());
    EXPECT_NE(next_playlist_set(&list), nullptr) << "a set that is gone starts a round as usual";
}

TEST(TurnTimer, CountsPlayAcrossRestsAndRebuilds) {
    TurnTimer timer;
    start_turn(&timer);
    count_turn_time(&timer, 1.0);
    count_turn_time(&timer, 2.5);
    count_turn_time(&timer, 2.5);  // the monitor rests: its set's time stands
    EXPECT_FALSE(turn_due(timer, 3.0));
    count_turn_time(&timer, 0.25);  // a save built the set again
    count_turn_time(&timer, 0.5);
    EXPECT_TRUE(turn_due(timer, 3.0));
    EXPECT_DOUBLE_EQ(timer.played, 3.0);
}

static const char* text_from_map(const char* key, void* user) {
    const auto* values = static_cast<std::map<std::string, std::string>*>(user);
    const auto found = values->find(key);
    return found == values->end() ? nullptr : found->second.c_str();
}

TEST(PlaylistSettings, AreReadWithTheirDefaultsAndLimits) {
    RecordingLog log;
    std::map<std::string, std::string> file;
    const PlayerSettings missing = read_player_settings(text_from_map, &file);
    EXPECT_EQ(missing.playlist_seconds, 600);
    EXPECT_EQ(missing.playlist_order, PlaylistOrder::Shuffle);
    EXPECT_EQ(missing.transition_seconds, 2);
    file = {{"playlist_seconds", "3"}, {"playlist_order", "name  ; a comment"}, {"transition_seconds", "0"}};
    const PlayerSettings set = read_player_settings(text_from_map, &file);
    EXPECT_EQ(set.playlist_seconds, 3);
    EXPECT_EQ(set.playlist_order, PlaylistOrder::Name);
    EXPECT_EQ(set.transition_seconds, 0);
    EXPECT_FALSE(same_settings(set, missing));
    EXPECT_TRUE(log.lines.empty()) << log.joined();
    file = {{"playlist_seconds", "0"}, {"playlist_order", "random"}, {"transition_seconds", "-1"}};
    EXPECT_TRUE(same_settings(read_player_settings(text_from_map, &file), missing));
    ASSERT_EQ(log.lines.size(), 3u) << log.joined();
    EXPECT_EQ(log.lines[1], "settings: playlist_order=random is not one of shuffle, name; shuffle is used");
}
