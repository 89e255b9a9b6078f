#pragma once
// Words desktop GLSL 4.50 reserves that GLSL ES 3.00, the language the
// published shaders are written in, leaves free as names.

constexpr int kDesktopOnlyKeywordCount = 33;

extern const char* const kDesktopOnlyKeywords[kDesktopOnlyKeywordCount];

// "#define buffer buffer_\n" … for every word, so a pass that names a
// variable `buffer` builds; the text lives as long as the process.
const char* desktop_keyword_renames();
