#pragma once
// Inside the program every text, paths included, is UTF-8; Windows speaks
// UTF-16 and other processes send either. The conversions never trust their
// input: unpaired surrogates and bad UTF-8 bytes become U+FFFD.

#include <cstddef>
#include <cstdint>

// The UTF-8 form of `count` UTF-16 units, up to the first zero unit if there
// is one; zero-terminated, malloc'd. Null only when no memory is left.
char* utf8_from_utf16(const uint16_t* units, size_t count);

// The UTF-16 form of a zero-terminated UTF-8 text, zero-terminated,
// malloc'd; `count` (when given) receives the units before the zero. Null
// only when no memory is left.
uint16_t* utf16_from_utf8(const char* text, size_t* count);
