#pragma once
// Whether the render targets got their storage. A GL that is out of memory
// leaves a texture without storage and its framebuffer incomplete; every
// draw into it then fails, and the picture stays black without a word.

// Checks every framebuffer the targets have; logs the first incomplete one
// with the size asked for and the GL's reason. Called wherever targets are
// created.
bool check_render_targets();

// What the last check found; true before any.
bool render_targets_allocated();

// The player's answer to targets that could not be allocated: the render
// scale halves (logged) until they are, or the smallest scale is reached.
// False when even that fails.
bool fall_back_to_smaller_render_scale();
