#pragma once
// The playing sets of the player and what happens to all of them at once:
// the window's size, the render scale, an install, a frame, a rest.

#include "render/pass_set_install.h"
#include "render/playing_set.h"

// The window's client size, kept even before the sets exist: the window
// gets its size during creation and attachment, before there is a context.
void resize_player_sets(int width, int height);
int player_window_width();
int player_window_height();

// The render scale for every set, now and for sets made later.
void set_player_render_scale(int percent);

// Needs the GL context.
void create_player_sets();
void destroy_player_sets();

// Every set plays the pass set at `path` (the built-in for null), by `rule`.
bool install_on_every_set(const char* path, InstallRule rule);

// Draws every set's frame into the window's back buffer.
void draw_player_sets();

// Time stands still for a set that rests.
void rest_player_sets();
void wake_player_sets();

// The set a test or a report looks at: the first one.
const PlayingSet& first_player_set();
