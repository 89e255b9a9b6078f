#pragma once
// The one reporting operation: every line goes to the standard error stream
// (the log file in the first instance) and, cut to 255 characters, to the
// debugger output.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#if defined(__MINGW32__)
#define LUMENFOLD_PRINTF_FORMAT(format_index, first_argument) \
    __attribute__((format(gnu_printf, format_index, first_argument)))
#elif defined(__GNUC__)
#define LUMENFOLD_PRINTF_FORMAT(format_index, first_argument) \
    __attribute__((format(printf, format_index, first_argument)))
#else
#define LUMENFOLD_PRINTF_FORMAT(format_index, first_argument)
#endif

// The debugger copy holds at most this many characters.
constexpr int kDebuggerCopyLimit = 255;

void log_message(const char* format, ...) LUMENFOLD_PRINTF_FORMAT(1, 2);

// Text that came from outside (a forwarded path, a file's name, a line of a
// pass text) as a line may hold it: control characters written as \xNN, so
// nobody can forge a line, and at most kOutsideTextLimit bytes of it, so
// nobody decides how fast the log grows. A cut text says how much was left.
constexpr size_t kOutsideTextLimit = 1024;
struct OutsideText {
    char text[4 * kOutsideTextLimit + 64];
};
OutsideText outside_text(const char* text);

// Handles are logged as their low 32 bits, whatever the pointer width.
inline uint32_t handle_bits(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }

// Lets a test (or any other reader) see each whole line as it is logged,
// without the added line feed. Null removes the observer.
typedef void (*LogObserver)(const char* line, void* user);
void set_log_observer(LogObserver observer, void* user);

// Where the stream copy of each line goes from now on; null sends it
// nowhere. Until this is called it is standard error, whatever stderr is then
// (the player re-opens it onto its log file).
void set_log_stream(FILE* stream);

// The stream copy holds at most this many bytes since the stream was set:
// then one note says that later lines are dropped. The debugger copy and
// the observer still get every line.
constexpr uint64_t kLogSizeLimit = 16u * 1024u * 1024u;
void set_log_size_limit(uint64_t bytes);

// Platform hook: hands one already cut message to the debugger output.
void send_to_debugger(const char* text);
