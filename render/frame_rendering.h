#pragma once
// Draws one frame of a playing set: uniforms, a pending change of its
// targets, the buffer passes in order, the cube pass, then Main into the
// window (or into its own target, scaled and placed over its part of the
// window).

#include "render/frame_clock.h"
#include "render/playing_set.h"

// Everything a frame shows that does not come from the pass set itself.
struct FrameInputs {
    FrameTiming timing;
    float mouse[4];  // render pixels from the bottom left, then the click state
    float date[4];   // year, month (0-based), day, seconds since midnight
};

// The player's frame: timing from the set's clock, the cursor and the local
// date from the platform; counts the frame afterwards. False when the frame
// gave way to what the player's messages brought (render/pass_bands.h): it
// is left undrawn and uncounted, its timing dropped.
bool render_frame(PlayingSet* set);

// One frame with every input given, for renderers that keep their own time.
bool render_frame_with(PlayingSet* set, const FrameInputs& inputs);

// A resting set's last picture at its place again, from its kept target.
void show_last_picture(const PlayingSet& set);
