#pragma once
// A small JSON reader (RFC 8259) for the exports lumenfold-import reads: the
// whole text becomes a tree of values.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class JsonKind : uint8_t { Null, Boolean, Number, String, Array, Object };

struct JsonValue {
    JsonKind kind = JsonKind::Null;
    bool boolean = false;
    double number = 0.0;
    // A string's value in UTF-8, or a number as it was written.
    std::string text;
    // An array's elements, or an object's member values.
    std::vector<JsonValue> items;
    // An object's member names, beside `items`.
    std::vector<std::string> keys;
};

struct JsonError {
    const char* what;  // a constant of the program
    int line;          // from 1
    int column;        // from 1, in bytes
};

// Arrays and objects nest at most this deep; a deeper text is refused
// rather than read with an unbounded stack.
constexpr int kJsonDepthLimit = 200;

// The whole text must be one value with blanks around it. On failure
// `error` says what was wrong where, and `root` is unspecified.
bool parse_json(const char* text, size_t length, JsonValue* root, JsonError* error);

// The member's value, or null when `object` is no object or has no such
// member (the first one wins when a name repeats).
const JsonValue* json_member(const JsonValue& object, const char* name);

// A string, or a number as it was written; null for any other kind.
const std::string* json_text(const JsonValue* value);
