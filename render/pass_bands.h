#pragma once
// A pass whose last draw took long is drawn in horizontal bands: the same
// program and uniforms, a scissor rectangle per band, each band fenced, and
// the player's messages looked at while the GL draws the band before. A
// frame that costs seconds then still lets the player answer.

#include "render/frame_fence.h"

// What a band should take: long enough that the bands' overhead stays small,
// short enough that a message waits no longer than a glance.
constexpr double kBandMs = 20.0;

// Handles what came, without waiting, while a band draws; true when the
// frame should give way (it is abandoned then, and drawn afresh later).
typedef bool (*BetweenBands)(void* context);

// The player's look at its messages. Without one (the default, and in
// programs without messages) every pass is drawn whole.
void look_between_bands(BetweenBands between, void* context);
bool bands_wanted();

// A pass not measured yet may cost seconds, and a cheap one loses little
// in a few bands: it is drawn in this many until it is measured.
constexpr int kUnmeasuredBands = 8;

// How many bands split `rows` rows so that each takes about kBandMs, from
// what the whole draw took last (negative: not measured yet), at most one
// band per row. A whole pass is banded once it takes twice kBandMs, a banded
// one is whole again within kBandMs: a pass that costs about a band's time
// would otherwise go in and out of bands from frame to frame, and the GPU
// budget would see its cost waver with them.
int band_count_for(double last_draw_ms, int rows, bool banded_last);

// Draws `draw` into the bound framebuffer's rows 0 .. rows - 1 in `bands`
// bands, bottom first, with the viewport at `columns` x `rows`. False when
// the frame gave way meanwhile.
bool draw_in_bands(int columns, int rows, int bands, void (*draw)());

// Bands of several draws in one run (a cube's faces, each its own
// framebuffer): every band is fenced and the messages are looked at while
// the band before draws, across the draws as within one.
struct BandRun {
    FrameFence drawing;
    bool went_on;
};
void begin_band_run(BandRun* run);
// Rows first_row .. end_row - 1 of the bound framebuffer, with the viewport
// at `columns` x `rows`. False once the frame gave way; nothing is drawn then.
bool draw_band(BandRun* run, int columns, int rows, int first_row, int end_row, void (*draw)());
// False when the frame gave way.
bool end_band_run(BandRun* run);
