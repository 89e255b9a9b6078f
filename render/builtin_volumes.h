#pragma once
// The two noise volumes every pass set can name: 32 x 32 x 32 texels of
// white noise, one grey and one RGBA, read repeating, made the first time a
// set names one.

#include <GL/glew.h>

#include <cstdint>

constexpr int kBuiltinVolumeSize = 32;
constexpr int kBuiltinVolumeCount = 2;

// The noise volume's texel (x, y, z), channel `channel` of `channels` (1 or
// 4): the same bytes on every machine and every run.
uint8_t noise_volume_texel(int x, int y, int z, int channel, int channels);

// Enters both volumes in the channel table; their textures come on first use.
void enter_builtin_volumes();
// The volumes that were made; the table is cleared by its owner.
void delete_builtin_volumes();
