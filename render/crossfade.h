#pragma once
// Two sets' pictures on one place of the window, blended: the picture a
// playlist leaves fades into the one it turns to.

#include <GL/glew.h>

// The weight of the incoming picture after `elapsed` of `length` seconds:
// a smooth step from 0 to 1; 1 for a length of 0 (a cut).
float crossfade_weight(double elapsed, double length);

// Draws mix(outgoing, incoming, weight) of the two textures, each stretched
// over the window's rectangle (x, y, width, height) from its bottom left.
// The program is made at the first fade and kept until release.
void draw_crossfade(GLuint outgoing, GLuint incoming, float weight, int x, int y, int width, int height);
void release_crossfade();
