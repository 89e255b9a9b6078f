#pragma once
// The program's settings are constants with one exception: the window size
// follows every resize that is not a minimisation.

#include <cstdint>

struct AppSettingsRecord {
    int32_t gl_major_version;
    int32_t gl_minor_version;
    int32_t debug_output;
    int32_t swap_interval;
    int32_t window_width;
    int32_t window_height;
};

extern AppSettingsRecord AppSettings;

// The settings every process starts with.
constexpr AppSettingsRecord kInitialAppSettings = {4, 5, 1, 1, 1280, 720};
