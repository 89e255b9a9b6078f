#include "tests/fuzz/fuzz_input.h"

#include "base/log.h"

std::vector<std::string> split_at_zeros(const uint8_t* data, size_t size, size_t limit) {
    std::vector<std::string> pieces(1);
    for (size_t at = 0; at < size; ++at) {
        if (data[at] == 0 && pieces.size() < limit) {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(static_cast<char>(data[at]));
        }
    }
    return pieces;
}

void silence_log() { set_log_stream(nullptr); }

// The host flavour's debugger copy keeps every line for tests to read; here
// that would only grow.
void send_to_debugger(const char*) {}
