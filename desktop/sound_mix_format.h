#pragma once
// The shared-mode mix formats the sound capture reads, and their samples as
// floats in -1..1.

#include <windows.h>

#include <mmreg.h>

enum class SampleKind { Float32, Pcm16 };

// 32-bit float and 16-bit PCM, plain or extensible; false for any other.
bool sample_kind_of(const WAVEFORMATEX& format, SampleKind* kind);

// `count` samples of `kind` from `data` (null: silence), starting at sample
// `first`, into `floats`.
void convert_samples(SampleKind kind, const BYTE* data, size_t first, size_t count, float* floats);
