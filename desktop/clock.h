#pragma once
// Conversions behind the clock, kept apart from the system calls so that the
// edge cases (counter above 2^31, the 2^32 wrap) can be tested directly.

#include <cstdint>

// The counter is unsigned: a reading above 2^31 ms stays positive.
double seconds_from_milliseconds(uint32_t milliseconds);

// Seconds elapsed from one counter reading to a later one, correct across the
// counter's wrap at 2^32 ms because the difference is taken modulo 2^32.
double elapsed_seconds_between(double earlier_seconds, double later_seconds);
