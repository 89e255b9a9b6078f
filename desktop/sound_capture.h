#pragma once
// Listening to what the computer plays: the default output device's mix,
// taken once per frame and handed to a sink. Without a device the sink
// hears nothing and one line says so.

typedef void (*SoundSink)(const float* interleaved, int frames, int channels, int rate);

// Once per frame with `wanted` while a drawn set samples the sound, and
// with false otherwise: starts listening (again, every few seconds, while
// there is no device), hands `sink` what arrived since the last call, and
// stops. A change of the default device is followed.
void listen_to_sound(bool wanted, SoundSink sink);
