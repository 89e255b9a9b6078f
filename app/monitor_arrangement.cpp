#include "app/monitor_arrangement.h"

#include "app/desktop_watch.h"
#include "app/monitor_choices.h"
#include "app/player_sets.h"
#include "app/playlists.h"
#include "app/reload_watch.h"
#include "base/folder_listing.h"
#include "desktop/desktop_layer.h"
#include "desktop/monitor_watch.h"

static MonitorLayout last_layout = MonitorLayout::Each;

// A monitor plugged in plays its own choice, or what every monitor plays;
// a choice that is a folder is a playlist of its own.
static const char* path_for_monitor(const char* identity, void*) {
    const char* chosen = nullptr;
    if (monitor_choice(identity, &chosen)) {
        return chosen && is_folder(chosen) ? prepare_playlist_for(identity, chosen) : chosen;
    }
    if (everywhere_playlist()) return prepare_playlist_for(identity, everywhere_playlist());
    return watched_pass_set();
}

static int monitor_rects(const MonitorList& list, MonitorRect* rects) {
    const int count = list.count < kMostMonitors ? list.count : kMostMonitors;
    for (int index = 0; index < count; ++index) {
        const Monitor& m = list.monitors[index];
        rects[index] = MonitorRect{m.x, m.y, m.width, m.height, m.primary};
    }
    return count;
}

int arrange_monitors(MonitorLayout layout) {
    last_layout = layout;
    const MonitorList& list = known_monitors();
    MonitorRect rects[kMostMonitors];
    const int count = monitor_rects(list, rects);
    const MonitorRect window = {0, 0, player_window_width(), player_window_height(), true};
    const PicturePlan plan = plan_pictures(layout, rects, count, window);

    const char* identities[kMostMonitors];
    for (int picture = 0; picture < plan.picture_count; ++picture) {
        const int monitor = plan.monitor_of_picture[picture];
        identities[picture] = monitor >= 0 ? list.monitors[monitor].identity : "";
    }
    // The sets first: the window's new size then finds them ready for it.
    const int made = arrange_player_sets(plan, identities, path_for_monitor, nullptr);
    adopt_prepared_playlists();
    if (!plan.follows_window) {
        const ScreenRect covered = {plan.window_x, plan.window_y, plan.window_width, plan.window_height};
        cover_screen_rect(&covered);
        follow_screen();
    }
    return made;
}

MonitorLayout arranged_layout() { return last_layout; }

const char* identity_of_monitor(int number) {
    const MonitorList& list = known_monitors();
    if (number < 1 || number > list.count) return nullptr;
    return list.monitors[number - 1].identity;
}
