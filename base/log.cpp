#include "base/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static LogObserver log_observer = nullptr;
static void* log_observer_user = nullptr;
static bool log_stream_chosen = false;
static FILE* log_stream = nullptr;

void set_log_stream(FILE* stream) {
    log_stream_chosen = true;
    log_stream = stream;
}

// Looked up at every line: stderr itself may be re-opened at any time.
static FILE* current_log_stream() { return log_stream_chosen ? log_stream : stderr; }

static void write_to_stream(const char* format, va_list args) {
    FILE* stream = current_log_stream();
    if (!stream) return;
    vfprintf(stream, format, args);
    fputc('\n', stream);
    // Readers follow the log while the player runs, and a crash must not
    // take the last lines with it.
    fflush(stream);
}

void set_log_observer(LogObserver observer, void* user) {
    log_observer = observer;
    log_observer_user = user;
}

static void notify_observer(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) return;
    char* line = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!line) return;
    vsnprintf(line, static_cast<size_t>(length) + 1, format, args);
    log_observer(line, log_observer_user);
    free(line);
}

void log_message(const char* format, ...) {
    va_list args;
    va_start(args, format);

    va_list for_debugger;
    va_copy(for_debugger, args);
    va_list for_observer;
    va_copy(for_observer, args);

    write_to_stream(format, args);

    char debugger_copy[kDebuggerCopyLimit + 1];
    vsnprintf(debugger_copy, sizeof debugger_copy, format, for_debugger);
    send_to_debugger(debugger_copy);

    if (log_observer) notify_observer(format, for_observer);

    va_end(for_observer);
    va_end(for_debugger);
    va_end(args);
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
