#include "app/playlists.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/folder_watch.h"
#include "app/gpu_budget.h"
#include "app/monitor_arrangement.h"
#include "app/player_sets.h"
#include "app/reload_watch.h"
#include "app/set_builds.h"
#include "app/settings_file.h"
#include "base/log.h"
#include "desktop/platform_services.h"

static int turn_seconds = 600;
static PlaylistOrder order = PlaylistOrder::Shuffle;
static double transition_seconds = 2.0;
static char* everywhere_folder = nullptr;
// Monitor numbers that asked for the next set; 0 for every monitor.
static bool next_asked[kMostMonitors + 1];

struct Prepared {
    char* identity;
    Playlist* list;
};
static Prepared prepared[kMostMonitors];
static int prepared_count = 0;

void follow_playlist_settings(int seconds, PlaylistOrder new_order, int transition) {
    turn_seconds = seconds;
    order = new_order;
    transition_seconds = transition;
    for (int index = 0; index < player_set_count(); ++index) {
        if (player_set_playlist(index)) set_playlist_order(player_set_playlist(index), order);
    }
}

const char* everywhere_playlist() { return everywhere_folder; }

static const char* position_key(const char* identity) { return identity[0] ? identity : kEveryMonitorKey; }

static void log_sets(const Playlist& list) {
    log_message("playlist: %s, %d sets", outside_text(list.folder).text, list.sets.count);
}

// Each monitor's shuffle of its own.
static uint32_t new_seed(const char* identity) {
    uint32_t seed = static_cast<uint32_t>(read_performance_counter());
    for (const char* at = identity; *at; ++at) seed = seed * 31u + static_cast<unsigned char>(*at);
    return seed ? seed : 1u;
}

static Playlist* new_playlist(const char* identity, const char* folder) {
    Playlist* list = static_cast<Playlist*>(malloc(sizeof(Playlist)));
    if (!list) return nullptr;
    open_playlist(list, folder, order, new_seed(identity));
    char* position = remembered_playlist_position(position_key(identity));
    if (position && position[0]) start_playlist_at(list, position);
    free(position);
    log_sets(*list);
    return list;
}

static void note_turn(int index, const char* path) {
    log_message("next: %s", outside_text(path).text);
    const char* identity = player_set_identity(index);
    remember_playlist_position(position_key(identity), path);
    // The first set stands for the player as a whole when it starts again.
    if (index == 0 && identity[0]) remember_playlist_position(kEveryMonitorKey, path);
    gpu_budget_meets_new_set();
    // Saves to the set that came last reload it, as for a set chosen.
    watch_pass_set(path);
    watch_folder_of(path);
}

// Said when the built-in set comes in, or when a playlist starts with it.
static void play_builtin_instead(int index, const Playlist& list, bool starting) {
    const bool builtin_shown = player_set_path(index) == nullptr && !player_set_fading(index) &&
                               player_set(index).programs[kMainPass] != 0;
    if (builtin_shown && !starting) return;
    if (list.sets.count == 0) {
        log_message("playlist: %s has no pass set; the built-in set plays", outside_text(list.folder).text);
    } else {
        log_message("playlist: no pass set of %s builds; the built-in set plays", outside_text(list.folder).text);
    }
    if (!builtin_shown) fade_player_set(index, nullptr, 0.0);
}

static void try_next_set(int index, double fade_seconds, bool starting, int tries);

// The set is known by its serial: before the first plan its monitor has
// no identity yet.
static void turn_set_built(const SetBuild& build, bool installed) {
    const int index = build.install_count > 0 ? player_set_with_serial(build.set_serials[0]) : -1;
    if (index < 0 || !player_set_playlist(index)) return;
    if (installed) {
        note_turn(index, build.path);
        return;
    }
    try_next_set(index, build.fade_seconds, build.turn_starts_playlist, build.turn_tries + 1);
}

// Each set of the turn builds beside the picture; one that does not build
// makes way for the next, for this round.
static void try_next_set(int index, double fade_seconds, bool starting, int tries) {
    Playlist* list = player_set_playlist(index);
    const char* path = tries <= list->sets.count ? next_playlist_set(list) : nullptr;
    if (!path) {
        play_builtin_instead(index, *list, starting);
        return;
    }
    const char* playing = player_set_path(index);
    if (list->sets.count == 1 && playing && strcmp(path, playing) == 0) return;
    SetBuild* build = new_set_build(path, InstallRule::MainMustBuild, SetBuildReach::OneMonitor, turn_set_built);
    if (!build) return;
    build->identity = strdup(player_set_identity(index));
    build->fades = true;
    build->fade_seconds = fade_seconds;
    build->turn_tries = tries;
    build->turn_starts_playlist = starting;
    begin_set_build(build);
}

// The next set of the monitor's playlist, skipping those that do not build
// for this round. A playlist of one set plays on as it is.
static bool turn(int index, double fade_seconds, bool starting = false) {
    Playlist* list = player_set_playlist(index);
    if (!list) return false;
    start_turn(player_set_turn(index));
    if (refresh_playlist(list)) log_sets(*list);
    try_next_set(index, fade_seconds, starting, 0);
    return true;
}

static bool start_on_slot(int index, const char* folder) {
    Playlist* list = new_playlist(player_set_identity(index), folder);
    if (!list) return false;
    give_player_set_playlist(index, list);
    return turn(index, 0.0, true);
}

bool play_playlist_everywhere(const char* folder) {
    char* kept = strdup(folder);
    free(everywhere_folder);
    everywhere_folder = kept;
    bool any = false;
    for (int index = 0; index < player_set_count(); ++index) any = start_on_slot(index, folder) || any;
    return any;
}

static int slot_of(const char* identity) {
    for (int index = 0; identity && index < player_set_count(); ++index) {
        if (strcmp(player_set_identity(index), identity) == 0) return index;
    }
    return -1;
}

bool play_playlist_on(const char* identity, const char* folder) {
    const int index = slot_of(identity);
    return index >= 0 && start_on_slot(index, folder);
}

void stop_playlists() {
    free(everywhere_folder);
    everywhere_folder = nullptr;
    for (int index = 0; index < player_set_count(); ++index) give_player_set_playlist(index, nullptr);
}

void stop_playlist_on(const char* identity) {
    const int index = slot_of(identity);
    if (index >= 0) give_player_set_playlist(index, nullptr);
}

void ask_for_next_wallpaper(int number) {
    if (number >= 0 && number <= kMostMonitors) next_asked[number] = true;
}

static bool next_asked_for(int index) {
    if (next_asked[0]) return true;
    for (int number = 1; number <= kMostMonitors; ++number) {
        if (!next_asked[number]) continue;
        const char* identity = identity_of_monitor(number);
        if (identity && strcmp(identity, player_set_identity(index)) == 0) return true;
        // Before the first plan the one set is every monitor's.
        if (identity && player_set_identity(index)[0] == '\0') return true;
    }
    return false;
}

void advance_playlists() {
    for (int index = 0; index < player_set_count(); ++index) {
        if (!player_set_playlist(index)) continue;
        if (next_asked_for(index)) {
            turn(index, transition_seconds);
            continue;
        }
        if (player_set_rests(index) || player_set_fading(index)) continue;
        TurnTimer* timer = player_set_turn(index);
        count_turn_time(timer, player_set_seconds(index));
        if (turn_due(*timer, turn_seconds)) turn(index, transition_seconds);
    }
    for (bool& wanted : next_asked) wanted = false;
}

const char* prepare_playlist_for(const char* identity, const char* folder) {
    if (prepared_count == kMostMonitors || !identity || !folder) return nullptr;
    Playlist* list = new_playlist(identity, folder);
    if (!list) return nullptr;
    prepared[prepared_count++] = Prepared{strdup(identity), list};
    return next_playlist_set(list);
}

void adopt_prepared_playlists() {
    for (int at = 0; at < prepared_count; ++at) {
        const int index = slot_of(prepared[at].identity);
        if (index >= 0 && !player_set_playlist(index)) {
            give_player_set_playlist(index, prepared[at].list);
            if (player_set_path(index)) note_turn(index, player_set_path(index));
        } else {
            close_playlist(prepared[at].list);
            free(prepared[at].list);
        }
        free(prepared[at].identity);
    }
    prepared_count = 0;
}
