#include "app/player_settings.h"

#include <cerrno>
#include <cstdlib>

#include "base/log.h"
#include "render/playing_set.h"

static bool is_blank(char c) { return c == ' ' || c == '\t'; }

static bool parse_whole_number(const char* text, long* value) {
    while (is_blank(*text)) ++text;
    if (*text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    *value = strtol(text, &end, 10);
    if (errno != 0 || end == text) return false;
    while (is_blank(*end)) ++end;
    return *end == '\0';
}

int read_setting(const char* key, const char* text, int default_value, int minimum, int maximum) {
    if (!text) return default_value;
    long value = 0;
    if (parse_whole_number(text, &value) && value >= minimum && value <= maximum) return static_cast<int>(value);
    log_message("settings: %s=%s is not a whole number from %d to %d; %d is used", key, text, minimum, maximum,
                default_value);
    return default_value;
}

static MonitorLayout read_monitor_layout(const char* text, MonitorLayout default_layout) {
    if (!text) return default_layout;
    MonitorLayout layout = default_layout;
    if (monitor_layout_from_name(text, &layout)) return layout;
    log_message("settings: monitors=%s is not one of each, span, duplicate, primary; %s is used", outside_text(text).text,
                monitor_layout_name(default_layout));
    return default_layout;
}

PlayerSettings read_player_settings(SettingText text_of, void* user) {
    const PlayerSettings& d = kDefaultPlayerSettings;
    PlayerSettings settings;
    settings.frame_rate = read_setting("frame_rate", text_of("frame_rate", user), d.frame_rate, 0, kHighestFrameRate);
    settings.render_scale = read_setting("render_scale", text_of("render_scale", user), d.render_scale,
                                         kMinimumRenderScale, kFullRenderScale);
    settings.pause_when_covered =
        read_setting("pause_when_covered", text_of("pause_when_covered", user), d.pause_when_covered, 0, 1) != 0;
    settings.pause_on_battery_saver = read_setting("pause_on_battery_saver", text_of("pause_on_battery_saver", user),
                                                   d.pause_on_battery_saver, 0, 1) != 0;
    settings.monitors = read_monitor_layout(text_of("monitors", user), d.monitors);
    return settings;
}

bool same_settings(const PlayerSettings& a, const PlayerSettings& b) {
    return a.frame_rate == b.frame_rate && a.render_scale == b.render_scale &&
           a.pause_when_covered == b.pause_when_covered && a.pause_on_battery_saver == b.pause_on_battery_saver && a.monitors == b.monitors;
}
