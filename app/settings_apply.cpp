#include "app/settings_apply.h"

#include "app/frame_rate_cap.h"
#include "app/gpu_budget.h"
#include "app/monitor_arrangement.h"
#include "app/pausing.h"
#include "app/player_sets.h"
#include "app/playlists.h"

void apply_settings(const PlayerSettings& settings) {
    cap_frame_rate(settings.frame_rate);
    follow_gpu_budget(settings.gpu_budget, settings.render_scale);
    follow_pause_settings(settings);
    follow_playlist_settings(settings.playlist_seconds, settings.playlist_order, settings.transition_seconds);
    // Before the sets exist this only sets the layout they start with.
    if (settings.monitors != arranged_layout()) arrange_monitors(settings.monitors);
}
