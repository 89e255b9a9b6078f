#include "desktop/sound_mix_format.h"

#include <cstring>

// The base of the format GUIDs that carry a format tag in their first part.
static const GUID kTagFormatBase = {0x00000000, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool sample_kind_of(const WAVEFORMATEX& format, SampleKind* kind) {
    WORD tag = format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        if (format.cbSize < sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX)) return false;
        const GUID& sub = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(format).SubFormat;
        GUID base = sub;
        base.Data1 = 0;
        if (!IsEqualGUID(base, kTagFormatBase) || sub.Data1 > 0xffff) return false;
        tag = static_cast<WORD>(sub.Data1);
    }
    if (tag == WAVE_FORMAT_IEEE_FLOAT && format.wBitsPerSample == 32) {
        *kind = SampleKind::Float32;
        return true;
    }
    if (tag == WAVE_FORMAT_PCM && format.wBitsPerSample == 16) {
        *kind = SampleKind::Pcm16;
        return true;
    }
    return false;
}

void convert_samples(SampleKind kind, const BYTE* data, size_t first, size_t count, float* floats) {
    if (!data) {
        memset(floats, 0, count * sizeof *floats);
        return;
    }
    if (kind == SampleKind::Float32) {
        memcpy(floats, data + first * sizeof(float), count * sizeof(float));
        return;
    }
    for (size_t index = 0; index < count; ++index) {
        short sample = 0;
        memcpy(&sample, data + (first + index) * sizeof sample, sizeof sample);
        floats[index] = sample / 32768.0f;
    }
}
