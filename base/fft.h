#pragma once
// An in-place radix-2 fast Fourier transform of complex values held as
// separate real and imaginary arrays.

// `count` must be a power of two, at least 1; other counts leave the arrays
// as they are and return false.
bool fft_radix2(float* real, float* imag, int count);
