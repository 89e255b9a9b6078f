#pragma once
// The playing sets of the player, one per picture of the monitor plan, and
// what happens to all of them at once: an install, a frame, a rest. A set
// belongs to a monitor by the monitor's identity, so a desk that changes
// keeps every other monitor's set, targets and clock as they are.

#include "app/monitor_layout.h"
#include "app/playlist.h"
#include "render/pass_set_install.h"
#include "render/playing_set.h"

// The window's client size, kept even before the sets exist: the window
// gets its size during creation and attachment, before there is a context.
// Without a plan (one picture over the window) the set follows it.
void resize_player_sets(int width, int height);
int player_window_width();
int player_window_height();

// The render scale for every set, now and for sets made later.
void set_player_render_scale(int percent);
// The same, for the GPU budget: every set keeps what its buffers hold.
void rescale_player_sets_keeping_pictures(int percent);

// Needs the GL context: one set over the window until a plan comes.
void create_player_sets();
void destroy_player_sets();

// Brings the sets to the plan: a picture whose monitor identity had a set
// keeps it (placed and sized anew), a new one gets a set playing `path_for`
// its identity, and sets left without a picture are freed, logged with the
// bytes they held. `identities[i]` belongs to picture i. Returns how many
// sets it made.
typedef const char* (*PathForMonitor)(const char* identity, void* user);
int arrange_player_sets(const PicturePlan& plan, const char* const* identities, PathForMonitor path_for,
                         void* user);

// Every set plays the pass set at `path` (the built-in for null), by `rule`.
bool install_on_every_set(const char* path, InstallRule rule);
bool any_set_playing(const char* path);

// An install in two halves, for a compile elsewhere between them. A set
// is known by its serial, which stays while its monitor's identity may
// change; a set that went in the meantime gets nothing, and what was built
// for it is deleted.
unsigned player_set_serial(int index);
int player_set_with_serial(unsigned serial);  // -1: gone
void prepare_install_on_set(int index, PendingInstall* install, const char* path);
bool finish_install_on_set(unsigned serial, PendingInstall* install, const char* path, InstallRule rule);

// Draws every set's frame into the window's back buffer, then the copies a
// duplicated picture asks for. False when a frame gave way to what the
// player's messages brought: the back buffer is not fit to be shown then.
bool draw_player_sets();

// Time stands still for a set that rests: every set while the player
// rests, one set while its monitor is covered or paused from the menu. A
// resting set shows its last picture.
void rest_player_sets();
void wake_player_sets();
void set_monitor_covered(const char* identity, bool covered);
// Pause from the menu for one monitor; false when no set has the identity.
bool toggle_monitor_pause(const char* identity);
bool monitor_paused(const char* identity);
// False when every set rests on its own: nothing needs drawing.
bool any_player_set_awake();

// What a set plays: its path, or null for the built-in.
const char* player_set_path(int index);
int player_set_count();
const PlayingSet& player_set(int index);
const PlayingSet& first_player_set();

// A monitor's set fades into the set at `path` over `seconds` (0: a cut):
// the new set is built in a record of its own, and both play until the
// fade ends, when the old one and its targets are freed. False when the set
// does not build; the old one then plays on. A monitor that rests cuts.
bool fade_player_set(int index, const char* path, double seconds);
bool player_set_fading(int index);
// The same with a set compiled elsewhere, prepared on the set `serial`.
bool finish_fade_on_set(unsigned serial, PendingInstall* install, const char* path, double seconds);

const char* player_set_identity(int index);  // "" before the first plan
bool player_set_rests(int index);
// The set's iTime now: rests are left out, an install starts it again.
double player_set_seconds(int index);

// A monitor's playlist goes with its set as the desk changes. The set
// takes over `list` (malloc'd, opened; null: none), frees the one it had,
// and its turn starts again.
Playlist* player_set_playlist(int index);
void give_player_set_playlist(int index, Playlist* list);
TurnTimer* player_set_turn(int index);

// Every record that draws this frame, an outgoing fading one included:
// what the GPU spends is theirs.
int playing_record_count();
PlayingSet* playing_record(int index);
