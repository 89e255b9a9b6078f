#pragma once
// Whether a playing set's targets got their storage. A GL that is out of
// memory leaves a texture without storage and its framebuffer incomplete;
// every draw into it then fails, and the picture stays black without a word.

struct PlayingSet;

// Checks every framebuffer the set's targets have; logs the first incomplete
// one with the size asked for and the GL's reason. Called wherever targets
// are created.
bool check_render_targets(PlayingSet* set);

// What the set's last check found; true before any.
bool render_targets_allocated(const PlayingSet& set);

// The player's answer to targets that could not be allocated: the set's
// render scale halves (logged) until they are, or the smallest scale is
// reached. False when even that fails.
bool fall_back_to_smaller_render_scale(PlayingSet* set);
