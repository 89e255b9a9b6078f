#pragma once
// A 32-bit integer hash ("lowbias32"): every input bit moves about half the
// output's, so neighbouring indices give unrelated values, the same on every
// machine and every run. What the built-in noise and stars are made from.

#include <cstdint>

inline uint32_t mixed_bits(uint32_t value) {
    value ^= value >> 16;
    value *= 0x7feb352dU;
    value ^= value >> 15;
    value *= 0x846ca68bU;
    value ^= value >> 16;
    return value;
}
