#pragma once
// The playlists the monitors play. Each monitor has a playlist of its own,
// also when every monitor plays the same folder: its own round, its own
// turn, counted while that monitor plays. A turn fades into the next set;
// a set that does not build is skipped for the round; a folder with no set
// that builds plays the built-in one until a turn finds one.

#include "app/playlist.h"

void follow_playlist_settings(int turn_seconds, PlaylistOrder order, int transition_seconds);

// Every monitor plays the folder (remembered for --resume, with each
// monitor's position). False when the built-in set plays instead.
bool play_playlist_everywhere(const char* folder);
// One monitor plays the folder; false when it has no set.
bool play_playlist_on(const char* identity, const char* folder);
// A set was chosen instead: the playlists of every monitor stop, or one's.
void stop_playlists();
void stop_playlist_on(const char* identity);
// The folder every monitor plays, or null.
const char* everywhere_playlist();

// "Next wallpaper": for monitor `number` as the tray numbers them, 0 for
// every monitor; carried out between frames.
void ask_for_next_wallpaper(int number);
// The turns that are due and the ones asked for.
void advance_playlists();

// A monitor that comes while it should play `folder`: its playlist is made
// and the first set handed to the set being made for it, and the playlist
// goes to that set once it exists (adopt_prepared_playlists).
const char* prepare_playlist_for(const char* identity, const char* folder);
void adopt_prepared_playlists();
