#include "base/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

// Sets build on a thread of their own, and their lines come from there.
static std::mutex log_lines;
static LogObserver log_observer = nullptr;
static void* log_observer_user = nullptr;
static bool log_stream_chosen = false;
static FILE* log_stream = nullptr;
static uint64_t log_size_limit = kLogSizeLimit;
static uint64_t log_bytes_written = 0;
static bool log_full = false;

void set_log_stream(FILE* stream) {
    const std::lock_guard<std::mutex> between_lines(log_lines);
    log_stream_chosen = true;
    log_stream = stream;
    log_bytes_written = 0;
    log_full = false;
}

void set_log_size_limit(uint64_t bytes) {
    const std::lock_guard<std::mutex> between_lines(log_lines);
    log_size_limit = bytes;
    log_full = log_bytes_written >= bytes;
}

// Looked up at every line: stderr itself may be re-opened at any time.
static FILE* current_log_stream() { return log_stream_chosen ? log_stream : stderr; }

static void write_counted(FILE* stream, const char* text) {
    fputs(text, stream);
    fputc('\n', stream);
    // Readers follow the log while the player runs, and a crash must not
    // take the last lines with it.
    fflush(stream);
    log_bytes_written += strlen(text) + 1;
}

// The first lines say how the player started and what it plays, the ones a
// reader needs most; once the limit is reached the rest are dropped with one
// note, and the next start begins a fresh file.
static void write_to_stream(const char* line) {
    FILE* stream = current_log_stream();
    if (!stream || log_full) return;
    static const char kNote[] = "log: the log reached its size limit; later lines are dropped until the next start";
    if (log_bytes_written + strlen(line) + 1 + sizeof kNote + 1 > log_size_limit) {
        log_full = true;
        write_counted(stream, kNote);
        return;
    }
    write_counted(stream, line);
}

void set_log_observer(LogObserver observer, void* user) {
    const std::lock_guard<std::mutex> between_lines(log_lines);
    log_observer = observer;
    log_observer_user = user;
}

// The cut backs up to a UTF-8 lead byte, so the debugger gets no half
// character.
static void send_debugger_copy(const char* line) {
    char copy[kDebuggerCopyLimit + 1];
    size_t length = strlen(line);
    if (length > kDebuggerCopyLimit) {
        length = kDebuggerCopyLimit;
        while (length > 0 && (static_cast<unsigned char>(line[length]) & 0xC0) == 0x80) --length;
    }
    memcpy(copy, line, length);
    copy[length] = '\0';
    send_to_debugger(copy);
}

void log_message(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    char* line = length >= 0 ? static_cast<char*>(malloc(static_cast<size_t>(length) + 1)) : nullptr;
    if (line) vsnprintf(line, static_cast<size_t>(length) + 1, format, args);
    va_end(args);
    if (!line) return;

    const std::lock_guard<std::mutex> one_line_at_a_time(log_lines);
    write_to_stream(line);
    send_debugger_copy(line);
    if (log_observer) log_observer(line, log_observer_user);
    free(line);
}

static bool is_control(unsigned char c) { return c < 0x20 || c == 0x7F; }

// A cut never splits a UTF-8 sequence: it backs up to a lead byte.
static size_t cut_length(const char* text, size_t length) {
    if (length <= kOutsideTextLimit) return length;
    size_t cut = kOutsideTextLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}

OutsideText outside_text(const char* text) {
    OutsideText out;
    if (!text) {
        snprintf(out.text, sizeof out.text, "(null)");
        return out;
    }
    const size_t length = strlen(text);
    const size_t shown = cut_length(text, length);
    size_t written = 0;
    for (size_t index = 0; index < shown; ++index) {
        const unsigned char c = static_cast<unsigned char>(text[index]);
        if (is_control(c)) {
            written += static_cast<size_t>(snprintf(out.text + written, sizeof out.text - written, "\\x%02X", c));
        } else {
            out.text[written++] = static_cast<char>(c);
        }
    }
    out.text[written] = '\0';
    if (shown < length) {
        snprintf(out.text + written, sizeof out.text - written, "... (%llu bytes more)",
                 static_cast<unsigned long long>(length - shown));
    }
    return out;
}
