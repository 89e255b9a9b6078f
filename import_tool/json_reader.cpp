#include "import_tool/json_reader.h"

#include <cstdlib>
#include <cstring>

struct JsonCursor {
    const char* begin;
    const char* at;
    const char* end;
    const char* error;
    int depth;
};

static bool fail(JsonCursor* cursor, const char* what) {
    if (!cursor->error) cursor->error = what;
    return false;
}

static void skip_blanks(JsonCursor* cursor) {
    while (cursor->at < cursor->end &&
           (*cursor->at == ' ' || *cursor->at == '\t' || *cursor->at == '\n' || *cursor->at == '\r')) {
        ++cursor->at;
    }
}

static bool take_word(JsonCursor* cursor, const char* word) {
    const size_t length = strlen(word);
    if (static_cast<size_t>(cursor->end - cursor->at) < length || memcmp(cursor->at, word, length) != 0) {
        return fail(cursor, "an unknown word");
    }
    cursor->at += length;
    return true;
}

static int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static bool take_hex4(JsonCursor* cursor, unsigned* unit) {
    if (cursor->end - cursor->at < 4) return fail(cursor, "a cut \\u escape");
    *unit = 0;
    for (int index = 0; index < 4; ++index) {
        const int digit = hex_digit(*cursor->at++);
        if (digit < 0) return fail(cursor, "a bad \\u escape");
        *unit = *unit * 16 + static_cast<unsigned>(digit);
    }
    return true;
}

static void append_utf8(unsigned code_point, std::string* out) {
    if (code_point < 0x80) {
        out->push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
        out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code_point >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
}

// After the backslash and the 'u': one code point, two escapes for a pair.
static bool take_unicode_escape(JsonCursor* cursor, std::string* out) {
    unsigned unit = 0;
    if (!take_hex4(cursor, &unit)) return false;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return fail(cursor, "a lone low surrogate");
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        unsigned low = 0;
        if (cursor->end - cursor->at < 2 || cursor->at[0] != '\\' || cursor->at[1] != 'u') {
            return fail(cursor, "a lone high surrogate");
        }
        cursor->at += 2;
        if (!take_hex4(cursor, &low)) return false;
        if (low < 0xDC00 || low > 0xDFFF) return fail(cursor, "a lone high surrogate");
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    append_utf8(unit, out);
    return true;
}

static bool take_escape(JsonCursor* cursor, std::string* out) {
    if (cursor->at >= cursor->end) return fail(cursor, "a cut string");
    const char c = *cursor->at++;
    switch (c) {
        case '"':
            out->push_back('"');
            return true;
        case '\\':
            out->push_back('\\');
            return true;
        case '/':
            out->push_back('/');
            return true;
        case 'b':
            out->push_back('\b');
            return true;
        case 'f':
            out->push_back('\f');
            return true;
        case 'n':
            out->push_back('\n');
            return true;
        case 'r':
            out->push_back('\r');
            return true;
        case 't':
            out->push_back('\t');
            return true;
        case 'u':
            return take_unicode_escape(cursor, out);
        default:
            return fail(cursor, "an unknown escape");
    }
}

// At the opening quote.
static bool take_string(JsonCursor* cursor, std::string* out) {
    ++cursor->at;
    while (cursor->at < cursor->end) {
        const char c = *cursor->at;
        if (c == '"') {
            ++cursor->at;
            return true;
        }
        if (static_cast<unsigned char>(c) < 0x20) return fail(cursor, "a control character in a string");
        ++cursor->at;
        if (c == '\\') {
            if (!take_escape(cursor, out)) return false;
        } else {
            out->push_back(c);
        }
    }
    return fail(cursor, "a string without its closing quote");
}

static bool take_digits(JsonCursor* cursor) {
    const char* start = cursor->at;
    while (cursor->at < cursor->end && *cursor->at >= '0' && *cursor->at <= '9') ++cursor->at;
    return cursor->at > start;
}

static bool take_number(JsonCursor* cursor, JsonValue* value) {
    const char* start = cursor->at;
    if (*cursor->at == '-') ++cursor->at;
    const char* integer = cursor->at;
    if (!take_digits(cursor)) return fail(cursor, "a bad number");
    if (*integer == '0' && cursor->at - integer > 1) return fail(cursor, "a number with a leading zero");
    if (cursor->at < cursor->end && *cursor->at == '.') {
        ++cursor->at;
        if (!take_digits(cursor)) return fail(cursor, "a bad number");
    }
    if (cursor->at < cursor->end && (*cursor->at == 'e' || *cursor->at == 'E')) {
        ++cursor->at;
        if (cursor->at < cursor->end && (*cursor->at == '+' || *cursor->at == '-')) ++cursor->at;
        if (!take_digits(cursor)) return fail(cursor, "a bad number");
    }
    value->kind = JsonKind::Number;
    value->text.assign(start, cursor->at);
    value->number = strtod(value->text.c_str(), nullptr);
    return true;
}

static bool take_value(JsonCursor* cursor, JsonValue* value);

// At the opening bracket or brace; `object` tells which.
static bool take_members(JsonCursor* cursor, JsonValue* value, bool object) {
    if (++cursor->depth > kJsonDepthLimit) return fail(cursor, "nesting deeper than 200");
    ++cursor->at;
    value->kind = object ? JsonKind::Object : JsonKind::Array;
    const char close = object ? '}' : ']';
    skip_blanks(cursor);
    if (cursor->at < cursor->end && *cursor->at == close) {
        ++cursor->at;
        --cursor->depth;
        return true;
    }
    while (true) {
        skip_blanks(cursor);
        if (object) {
            if (cursor->at >= cursor->end || *cursor->at != '"') return fail(cursor, "a member without a quoted name");
            value->keys.emplace_back();
            if (!take_string(cursor, &value->keys.back())) return false;
            skip_blanks(cursor);
            if (cursor->at >= cursor->end || *cursor->at != ':') return fail(cursor, "a member name without a colon");
            ++cursor->at;
        }
        value->items.emplace_back();
        if (!take_value(cursor, &value->items.back())) return false;
        skip_blanks(cursor);
        if (cursor->at < cursor->end && *cursor->at == ',') {
            ++cursor->at;
            continue;
        }
        if (cursor->at < cursor->end && *cursor->at == close) {
            ++cursor->at;
            --cursor->depth;
            return true;
        }
        return fail(cursor, object ? "an object without a comma or closing brace"
                                   : "an array without a comma or closing bracket");
    }
}

static bool take_value(JsonCursor* cursor, JsonValue* value) {
    skip_blanks(cursor);
    if (cursor->at >= cursor->end) return fail(cursor, "the text ends where a value should be");
    switch (*cursor->at) {
        case '{':
            return take_members(cursor, value, true);
        case '[':
            return take_members(cursor, value, false);
        case '"':
            value->kind = JsonKind::String;
            return take_string(cursor, &value->text);
        case 't':
            value->kind = JsonKind::Boolean;
            value->boolean = true;
            return take_word(cursor, "true");
        case 'f':
            value->kind = JsonKind::Boolean;
            return take_word(cursor, "false");
        case 'n':
            value->kind = JsonKind::Null;
            return take_word(cursor, "null");
        default:
            break;
    }
    if (*cursor->at == '-' || (*cursor->at >= '0' && *cursor->at <= '9')) return take_number(cursor, value);
    return fail(cursor, "a character that starts no value");
}

static void locate(const JsonCursor& cursor, JsonError* error) {
    error->line = 1;
    error->column = 1;
    for (const char* c = cursor.begin; c < cursor.at && c < cursor.end; ++c) {
        if (*c == '\n') {
            ++error->line;
            error->column = 1;
        } else {
            ++error->column;
        }
    }
}

bool parse_json(const char* text, size_t length, JsonValue* root, JsonError* error) {
    JsonCursor cursor = {text, text, text + length, nullptr, 0};
    // A byte-order mark is not JSON, but editors on Windows write one.
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) cursor.at += 3;
    *root = JsonValue();
    if (take_value(&cursor, root)) {
        skip_blanks(&cursor);
        if (cursor.at == cursor.end) return true;
        fail(&cursor, "more text after the value");
    }
    error->what = cursor.error;
    locate(cursor, error);
    return false;
}

const JsonValue* json_member(const JsonValue& object, const char* name) {
    if (object.kind != JsonKind::Object) return nullptr;
    for (size_t index = 0; index < object.keys.size(); ++index) {
        if (object.keys[index] == name) return &object.items[index];
    }
    return nullptr;
}

const std::string* json_text(const JsonValue* value) {
    if (!value || (value->kind != JsonKind::String && value->kind != JsonKind::Number)) return nullptr;
    return &value->text;
}
