#include "app/player_sets.h"

#include "app/app_settings.h"
#include "render/frame_rendering.h"

// One set covers the window; a set per monitor comes with the monitors.
static const int kPlayerSetCount = 1;

static PlayingSet player_sets[kPlayerSetCount];
static bool sets_exist = false;
static int render_scale = kFullRenderScale;

void resize_player_sets(int width, int height) {
    if (width <= 0 || height <= 0) return;
    AppSettings.window_width = width;
    AppSettings.window_height = height;
    if (!sets_exist) return;
    for (PlayingSet& set : player_sets) request_target_resize(&set, width, height);
}

int player_window_width() { return AppSettings.window_width; }
int player_window_height() { return AppSettings.window_height; }

void set_player_render_scale(int percent) {
    render_scale = percent;
    if (!sets_exist) return;
    for (PlayingSet& set : player_sets) set_render_scale(&set, percent);
}

void create_player_sets() {
    for (PlayingSet& set : player_sets) {
        create_playing_set(&set, AppSettings.window_width, AppSettings.window_height, render_scale);
    }
    sets_exist = true;
}

void destroy_player_sets() {
    for (PlayingSet& set : player_sets) destroy_playing_set(&set);
    sets_exist = false;
}

bool install_on_every_set(const char* path, InstallRule rule) {
    bool installed = true;
    for (PlayingSet& set : player_sets) installed = install_pass_set(&set, path, rule) && installed;
    return installed;
}

void draw_player_sets() {
    for (PlayingSet& set : player_sets) render_frame(&set);
}

void rest_player_sets() {
    for (PlayingSet& set : player_sets) pause_frame_clock(&set.clock);
}

void wake_player_sets() {
    for (PlayingSet& set : player_sets) resume_frame_clock(&set.clock);
}

const PlayingSet& first_player_set() { return player_sets[0]; }
