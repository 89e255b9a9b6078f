#pragma once
// What the user can set, in the [player] section of lumenfold.ini. Reading
// a value is kept apart from where it comes from, so every rule can be
// tested without the file.

#include <cstddef>
#include <cstdint>

#include "app/monitor_layout.h"
#include "app/playlist.h"

struct PlayerSettings {
    int frame_rate;  // frames per second at most; 0: the display's refresh rate
    int render_scale;  // percent per side
    int gpu_budget;    // percent of the GPU's time the wallpaper may take; 0: no limit
    bool pause_when_covered;
    bool pause_on_battery_saver;
    MonitorLayout monitors;
    int playlist_seconds;  // a playlist's turn, in seconds of play
    PlaylistOrder playlist_order;
    int transition_seconds;  // a playlist's crossfade; 0: a cut
};

// A quarter of the GPU's time: the wallpaper is in the background, and
// whatever the user does in front of it keeps three quarters.
constexpr PlayerSettings kDefaultPlayerSettings = {0,   100, 25, true, true, MonitorLayout::Each,
                                                   600, PlaylistOrder::Shuffle, 2};

// A week: longer turns are no playlist any more.
constexpr int kLongestPlaylistTurn = 7 * 24 * 3600;
constexpr int kLongestTransition = 60;

constexpr int kHighestFrameRate = 1000;

// The value of one key from its text as written in the file (null when the
// key is missing). Whitespace and a comment after it (" ; ...") around the
// number are no part of it. Anything but a whole number in [minimum,
// maximum] gives the default and one log line naming the key and the text.
int read_setting(const char* key, const char* text, int default_value, int minimum, int maximum);

// The most UTF-16 units a value may hold; a longer one is rejected by name.
constexpr size_t kSettingTextLimit = 255;

// A value as the file's reader gave it, in UTF-8, always terminated.
struct SettingText8 {
    char text[3 * kSettingTextLimit + 1];
};
// Stands for a value longer than kSettingTextLimit.
extern const char kOverlongSetting[];

// The UTF-8 form of `count` UTF-16 units read for one value in `out`, or
// kOverlongSetting when there are more than kSettingTextLimit.
const char* setting_text_from_utf16(const uint16_t* units, size_t count, SettingText8* out);

// Every setting, with `text_of` giving each key's text (or null).
typedef const char* (*SettingText)(const char* key, void* user);
PlayerSettings read_player_settings(SettingText text_of, void* user);

bool same_settings(const PlayerSettings& a, const PlayerSettings& b);
