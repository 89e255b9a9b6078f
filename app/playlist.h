#pragma once
// A playlist is a folder: its pass sets are the Main files in it and in its
// direct subfolders. It plays them in rounds, each set once per round, in
// name order or shuffled; the folder is looked at again at every turn, so a
// set added joins the next round and a set removed leaves the current one.

#include <cstdint>

enum class PlaylistOrder { Shuffle, Name };

// A file name that is a set's Main: "*.glsl" but not a companion
// ("x.a.glsl" .. "x.d.glsl", "x.0.glsl"). Letter case does not count.
bool is_main_file_name(const char* name);

struct SetList {
    char** paths;  // malloc'd, sorted by name
    int count;
};

// The Main files of `folder` and of its direct subfolders.
SetList list_playlist_sets(const char* folder);
void free_set_list(SetList* list);

struct Playlist {
    char* folder;
    PlaylistOrder order;
    SetList sets;   // as the folder held them at the last look
    SetList round;  // this round's order, copied: a look may drop sets
    int position;   // the round's next set
    char* current;  // the set that was handed out last
    uint32_t random_state;
};

// `seed` drives the shuffle; any value but 0 gives its own order.
void open_playlist(Playlist* list, const char* folder, PlaylistOrder order, uint32_t seed);
void close_playlist(Playlist* list);

// Looks at the folder again; true when its sets changed.
bool refresh_playlist(Playlist* list);
// The next set, a new round once this one is played out; null when the
// folder has none. A shuffled round never starts with the set before it.
const char* next_playlist_set(Playlist* list);
// The next round starts with `path` when the folder has it (a resume);
// the round after goes on in the playlist's order.
void start_playlist_at(Playlist* list, const char* path);
// From the next round on.
void set_playlist_order(Playlist* list, PlaylistOrder order);

// Counts a monitor's turn from the iTime of the set it plays: that stands
// still while the monitor rests and starts again from 0 when the set is
// built again (a save), which does not start the turn again.
struct TurnTimer {
    double played;
    double last_time;
};
void start_turn(TurnTimer* timer);
void count_turn_time(TurnTimer* timer, double set_time);
bool turn_due(const TurnTimer& timer, double turn_seconds);
