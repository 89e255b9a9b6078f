#pragma once
// The Sound channel's texture: one for the process, shared by every set,
// filled once per frame from the samples the sound source pushed. Without
// a source it reads silence.

#include <GL/glew.h>

struct PlayingSet;

// The sound source's way in: frames of `channels` interleaved samples in
// -1..1 at `rate` samples per second.
void push_sound_samples(const float* interleaved, int frames, int channels, int rate);

// The source went (or never came): what was heard is forgotten, and the
// next fill reads silence.
void silence_sound();

// With the render resources: the texture, entered in the channel table as
// "Sound", reading silence.
void create_sound_texture();
void destroy_sound_texture();
GLuint sound_texture();

// Analyses the newest samples into the texture; nothing to do while it
// already reads silence and nothing was pushed since.
void fill_sound_texture();

// Whether any unit of the set samples the Sound channel.
bool set_samples_sound(const PlayingSet& set);
