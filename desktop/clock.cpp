#include "desktop/clock.h"

#include <cmath>

double seconds_from_milliseconds(uint32_t milliseconds) { return milliseconds / 1000.0; }

double elapsed_seconds_between(double earlier_seconds, double later_seconds) {
    // Both readings are whole milliseconds below 2^32; rounding recovers the
    // exact counter values from their double form.
    const uint32_t earlier = static_cast<uint32_t>(std::llround(earlier_seconds * 1000.0));
    const uint32_t later = static_cast<uint32_t>(std::llround(later_seconds * 1000.0));
    return seconds_from_milliseconds(later - earlier);
}
