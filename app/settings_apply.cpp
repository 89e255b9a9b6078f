#include "app/settings_apply.h"

#include "app/frame_rate_cap.h"
#include "app/pausing.h"
#include "app/player_sets.h"

void apply_settings(const PlayerSettings& settings) {
    cap_frame_rate(settings.frame_rate);
    set_player_render_scale(settings.render_scale);
    follow_pause_settings(settings);
}
