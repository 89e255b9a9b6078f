#include "shader/channel_directives.h"

#include <cstring>

#include "base/log.h"
#include "shader/channel_sampling.h"
#include "shader/channel_table.h"

const char* const kChannelNames[kChannelsPerPass] = {"iChannel0", "iChannel1", "iChannel2", "iChannel3"};

// Directive tokens are at most this long; a longer run continues as the next
// token, as a width-limited scan would read it.
static const size_t kTokenLimit = 511;

struct TextRange {
    const char* begin;
    const char* end;
};

static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

static bool is_line_end(char c) { return c == '\r' || c == '\n'; }

static TextRange without_line_comment(TextRange line) {
    for (const char* cursor = line.begin; cursor + 1 < line.end; ++cursor) {
        if (cursor[0] == '/' && cursor[1] == '/') return TextRange{line.begin, cursor};
    }
    return line;
}

static TextRange trimmed(TextRange line) {
    while (line.begin < line.end && is_blank(*line.begin)) ++line.begin;
    while (line.end > line.begin && is_blank(line.end[-1])) --line.end;
    return line;
}

static TextRange skip_blanks(TextRange rest) {
    while (rest.begin < rest.end && is_blank(*rest.begin)) ++rest.begin;
    return rest;
}

// Takes the next token off `rest`; an empty token means there is none.
static TextRange take_token(TextRange* rest) {
    *rest = skip_blanks(*rest);
    TextRange token = {rest->begin, rest->begin};
    while (token.end < rest->end && !is_blank(*token.end) &&
           static_cast<size_t>(token.end - token.begin) < kTokenLimit) {
        ++token.end;
    }
    rest->begin = token.end;
    return token;
}

static size_t length_of(TextRange token) { return static_cast<size_t>(token.end - token.begin); }

static int find_channel(TextRange token) {
    for (int channel = 0; channel < kChannelsPerPass; ++channel) {
        if (names_equal_ignoring_case(token.begin, length_of(token), kChannelNames[channel])) return channel;
    }
    return -1;
}

// The options a directive's name can carry, and the ones it did not know.
struct UnknownOptions {
    char text[kTokenLimit + 1];
    size_t length;
};

static void add_unknown(TextRange token, UnknownOptions* unknown) {
    const size_t room = sizeof unknown->text - 1 - unknown->length;
    const size_t wanted = length_of(token) + (unknown->length ? 1 : 0);
    if (wanted > room) return;
    if (unknown->length) unknown->text[unknown->length++] = ' ';
    memcpy(unknown->text + unknown->length, token.begin, length_of(token));
    unknown->length += length_of(token);
    unknown->text[unknown->length] = '\0';
}

static void apply_options(TextRange rest, bool is_image, ChannelSampling* sampling, UnknownOptions* unknown) {
    for (TextRange token = take_token(&rest); token.begin != token.end; token = take_token(&rest)) {
        if (!apply_sampling_option(token.begin, length_of(token), is_image, sampling)) add_unknown(token, unknown);
    }
}

// A pass text decides how many directives it holds, not how fast the log
// grows: the first few are listed, the rest counted.
static const int kListedMatches = 8;

// True when the line was a directive that matched.
static bool apply_directive_line(TextRange line, int pass_index, PassSetResult* result, bool listed) {
    static const char kKeyword[] = "#pragma";
    const size_t keyword_length = sizeof kKeyword - 1;
    line = trimmed(without_line_comment(line));
    if (static_cast<size_t>(line.end - line.begin) < keyword_length) return false;
    if (memcmp(line.begin, kKeyword, keyword_length) != 0) return false;

    TextRange rest = {line.begin + keyword_length, line.end};
    const TextRange channel_token = take_token(&rest);
    const TextRange name_token = take_token(&rest);
    if (channel_token.begin == channel_token.end || name_token.begin == name_token.end) return false;

    const int channel = find_channel(channel_token);
    const int entry = find_channel_table_entry(name_token.begin, length_of(name_token));
    if (channel < 0 || entry < 0) return false;

    const int unit = kChannelsPerPass * pass_index + channel;
    ChannelSampling sampling = {};
    UnknownOptions unknown = {};
    apply_options(rest, entry < kFirstBufferEntry, &sampling, &unknown);
    if (listed) {
        log_message("pragma match: %s %s%s\n", kChannelNames[channel], ChannelTable[entry].name,
                    sampling_options_text(sampling));
    }
    // The channel still binds: an option this player does not know only
    // changes how the texture would be read.
    if (unknown.length && listed) {
        log_message("pragma unknown options: %s %s", kChannelNames[channel], outside_text(unknown.text).text);
    }
    result->channels[unit] = channel_table_texture(entry);
    result->channel_targets[unit] = ChannelTable[entry].target;
    result->sampling[unit] = sampling;
    return true;
}

void parse_channel_directives(const char* text, int pass_index, PassSetResult* result) {
    if (!text || pass_index < 0 || pass_index >= kPassCount) return;
    const char* cursor = text;
    int matches = 0;
    while (*cursor) {
        while (*cursor && is_line_end(*cursor)) ++cursor;
        const char* line_begin = cursor;
        while (*cursor && !is_line_end(*cursor)) ++cursor;
        // A last line without a line end is a line like any other.
        if (cursor > line_begin &&
            apply_directive_line(TextRange{line_begin, cursor}, pass_index, result, matches < kListedMatches)) {
            ++matches;
        }
    }
    if (matches > kListedMatches) {
        log_message("pragma match: %d more not listed (%d in all)", matches - kListedMatches, matches);
    }
}
