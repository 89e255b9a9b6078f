#include "base/text_encoding.h"

#include <cstdlib>

static const uint32_t kReplacementCharacter = 0xFFFD;

static bool is_high_surrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
static bool is_low_surrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

static size_t put_utf8(uint32_t code_point, char* out) {
    if (code_point < 0x80) {
        out[0] = static_cast<char>(code_point);
        return 1;
    }
    if (code_point < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code_point >> 6));
        out[1] = static_cast<char>(0x80 | (code_point & 0x3F));
        return 2;
    }
    if (code_point < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (code_point >> 12));
        out[1] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (code_point & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (code_point >> 18));
    out[1] = static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code_point & 0x3F));
    return 4;
}

char* utf8_from_utf16(const uint16_t* units, size_t count) {
    size_t length = 0;
    while (length < count && units[length] != 0) ++length;
    // Every unit takes at most three bytes; a pair takes four for two units.
    char* text = static_cast<char*>(malloc(3 * length + 1));
    if (!text) return nullptr;
    size_t written = 0;
    for (size_t index = 0; index < length; ++index) {
        uint32_t code_point = units[index];
        if (is_high_surrogate(code_point) && index + 1 < length && is_low_surrogate(units[index + 1])) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (units[index + 1] - 0xDC00u);
            ++index;
        } else if (is_high_surrogate(code_point) || is_low_surrogate(code_point)) {
            code_point = kReplacementCharacter;
        }
        written += put_utf8(code_point, text + written);
    }
    text[written] = '\0';
    return text;
}

// Decodes one code point at `text`, advancing past it; anything that is not
// the shortest form of a scalar value takes one byte and gives U+FFFD.
static uint32_t take_code_point(const unsigned char** text) {
    const unsigned char* at = *text;
    const unsigned char lead = at[0];
    int trailing = 0;
    uint32_t code_point = 0;
    uint32_t smallest = 0;
    if (lead < 0x80) {
        *text = at + 1;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        trailing = 1, code_point = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        trailing = 2, code_point = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        trailing = 3, code_point = lead & 0x07, smallest = 0x10000;
    } else {
        *text = at + 1;
        return kReplacementCharacter;
    }
    for (int index = 1; index <= trailing; ++index) {
        // A zero byte is no continuation, so this never reads past the end.
        if ((at[index] & 0xC0) != 0x80) {
            *text = at + 1;
            return kReplacementCharacter;
        }
        code_point = (code_point << 6) | (at[index] & 0x3F);
    }
    *text = at + 1 + trailing;
    const bool scalar = code_point <= 0x10FFFF && !(code_point >= 0xD800 && code_point <= 0xDFFF);
    return scalar && code_point >= smallest ? code_point : kReplacementCharacter;
}

uint16_t* utf16_from_utf8(const char* text, size_t* count) {
    size_t bytes = 0;
    while (text[bytes] != '\0') ++bytes;
    // Never more units than bytes: a four-byte sequence becomes two units.
    uint16_t* units = static_cast<uint16_t*>(malloc((bytes + 1) * sizeof(uint16_t)));
    if (!units) return nullptr;
    size_t written = 0;
    const unsigned char* cursor = reinterpret_cast<const unsigned char*>(text);
    while (*cursor) {
        const uint32_t code_point = take_code_point(&cursor);
        if (code_point >= 0x10000) {
            units[written++] = static_cast<uint16_t>(0xD800 + ((code_point - 0x10000) >> 10));
            units[written++] = static_cast<uint16_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF));
        } else {
            units[written++] = static_cast<uint16_t>(code_point);
        }
    }
    units[written] = 0;
    if (count) *count = written;
    return units;
}
