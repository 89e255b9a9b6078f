#include "app/player_settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/log.h"
#include "base/text_encoding.h"
#include "render/playing_set.h"

static bool is_blank(char c) { return c == ' ' || c == '\t'; }

const char kOverlongSetting[] = "(overlong)";

// As the README's example writes them: "render_scale=75  ; percent"; a ';'
// within a word is no comment.
static bool is_comment_start(const char* at) { return *at == ';'; }

static bool parse_whole_number(const char* text, long* value) {
    while (is_blank(*text)) ++text;
    if (*text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    *value = strtol(text, &end, 10);
    if (errno != 0 || end == text) return false;
    const char* rest = end;
    while (is_blank(*rest)) ++rest;
    return *rest == '\0' || (rest > end && is_comment_start(rest));
}

int read_setting(const char* key, const char* text, int default_value, int minimum, int maximum) {
    if (!text) return default_value;
    if (text == kOverlongSetting) {
        log_message("settings: the value of %s is longer than %d characters; %d is used", key,
                    static_cast<int>(kSettingTextLimit), default_value);
        return default_value;
    }
    long value = 0;
    if (parse_whole_number(text, &value) && value >= minimum && value <= maximum) return static_cast<int>(value);
    log_message("settings: %s=%s is not a whole number from %d to %d; %d is used", key, outside_text(text).text,
                minimum, maximum, default_value);
    return default_value;
}

// A name as written, without blanks around it or a comment after it.
static void trimmed_name(const char* text, char* name, size_t size) {
    while (is_blank(*text)) ++text;
    size_t length = 0;
    while (text[length] && !(length > 0 && is_blank(text[length - 1]) && is_comment_start(text + length))) ++length;
    while (length > 0 && is_blank(text[length - 1])) --length;
    if (length >= size) length = size - 1;
    memcpy(name, text, length);
    name[length] = '\0';
}

static MonitorLayout read_monitor_layout(const char* text, MonitorLayout default_layout) {
    if (!text) return default_layout;
    char name[16];
    trimmed_name(text, name, sizeof name);
    MonitorLayout layout = default_layout;
    if (monitor_layout_from_name(name, &layout)) return layout;
    log_message("settings: monitors=%s is not one of each, span, duplicate, primary; %s is used", outside_text(text).text,
                monitor_layout_name(default_layout));
    return default_layout;
}

static PlaylistOrder read_playlist_order(const char* text, PlaylistOrder default_order) {
    if (!text) return default_order;
    char name[16];
    trimmed_name(text, name, sizeof name);
    if (strcmp(name, "shuffle") == 0) return PlaylistOrder::Shuffle;
    if (strcmp(name, "name") == 0) return PlaylistOrder::Name;
    log_message("settings: playlist_order=%s is not one of shuffle, name; %s is used", outside_text(text).text,
                default_order == PlaylistOrder::Shuffle ? "shuffle" : "name");
    return default_order;
}

const char* setting_text_from_utf16(const uint16_t* units, size_t count, SettingText8* out) {
    out->text[0] = '\0';
    if (count > kSettingTextLimit) return kOverlongSetting;
    char* converted = utf8_from_utf16(units, count);
    if (!converted) return kOverlongSetting;
    // At most three bytes for each unit: it always fits.
    snprintf(out->text, sizeof out->text, "%s", converted);
    free(converted);
    return out->text;
}

PlayerSettings read_player_settings(SettingText text_of, void* user) {
    const PlayerSettings& d = kDefaultPlayerSettings;
    PlayerSettings settings;
    settings.frame_rate = read_setting("frame_rate", text_of("frame_rate", user), d.frame_rate, 0, kHighestFrameRate);
    settings.render_scale = read_setting("render_scale", text_of("render_scale", user), d.render_scale,
                                         kMinimumRenderScale, kFullRenderScale);
    settings.gpu_budget = read_setting("gpu_budget", text_of("gpu_budget", user), d.gpu_budget, 0, 100);
    settings.pause_when_covered =
        read_setting("pause_when_covered", text_of("pause_when_covered", user), d.pause_when_covered, 0, 1) != 0;
    settings.pause_on_battery_saver = read_setting("pause_on_battery_saver", text_of("pause_on_battery_saver", user),
                                                   d.pause_on_battery_saver, 0, 1) != 0;
    settings.monitors = read_monitor_layout(text_of("monitors", user), d.monitors);
    settings.playlist_seconds = read_setting("playlist_seconds", text_of("playlist_seconds", user),
                                             d.playlist_seconds, 1, kLongestPlaylistTurn);
    settings.playlist_order = read_playlist_order(text_of("playlist_order", user), d.playlist_order);
    settings.transition_seconds = read_setting("transition_seconds", text_of("transition_seconds", user),
                                               d.transition_seconds, 0, kLongestTransition);
    return settings;
}

bool same_settings(const PlayerSettings& a, const PlayerSettings& b) {
    return a.frame_rate == b.frame_rate && a.render_scale == b.render_scale && a.gpu_budget == b.gpu_budget &&
           a.pause_when_covered == b.pause_when_covered && a.pause_on_battery_saver == b.pause_on_battery_saver &&
           a.monitors == b.monitors && a.playlist_seconds == b.playlist_seconds &&
           a.playlist_order == b.playlist_order && a.transition_seconds == b.transition_seconds;
}
