#pragma once
// The Sound channel follows the sets: the default output is listened to
// only while a set that is drawn samples it, and the texture reads silence
// otherwise.

// Before every frame with true; with false while nothing is drawn.
void follow_sound_channels(bool drawing);
