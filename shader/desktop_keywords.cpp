#include "shader/desktop_keywords.h"

#include <cstdio>

// Keywords and reserved words of GLSL 4.50 that are neither keywords nor
// reserved words in GLSL ES 3.00, and two that Mesa's desktop compiler
// reserves beyond both lists (`packed`, `row_major`).
const char* const kDesktopOnlyKeywords[kDesktopOnlyKeywordCount] = {
    "buffer",
    "shared",
    "precise",
    "dmat2",
    "dmat3",
    "dmat4",
    "dmat2x2",
    "dmat2x3",
    "dmat2x4",
    "dmat3x2",
    "dmat3x3",
    "dmat3x4",
    "dmat4x2",
    "dmat4x3",
    "dmat4x4",
    "samplerCubeArray",
    "samplerCubeArrayShadow",
    "isamplerCubeArray",
    "usamplerCubeArray",
    "image2DRect",
    "iimage2DRect",
    "uimage2DRect",
    "image2DMS",
    "iimage2DMS",
    "uimage2DMS",
    "image2DMSArray",
    "iimage2DMSArray",
    "uimage2DMSArray",
    "imageCubeArray",
    "iimageCubeArray",
    "uimageCubeArray",
    "packed",
    "row_major",
};

// Each line is "#define " and the word twice: well under 64 bytes.
static char renames[kDesktopOnlyKeywordCount * 64];

const char* desktop_keyword_renames() {
    if (renames[0]) return renames;
    size_t used = 0;
    for (const char* word : kDesktopOnlyKeywords) {
        const int written = snprintf(renames + used, sizeof renames - used, "#define %s %s_\n", word, word);
        if (written > 0) used += static_cast<size_t>(written);
    }
    return renames;
}
