#pragma once
// What every fuzz target shares: the input as zero-terminated pieces, and a
// log that goes nowhere (a fuzzer runs millions of inputs).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The input cut at its zero bytes; at most `limit` pieces, the last one
// holding the rest.
std::vector<std::string> split_at_zeros(const uint8_t* data, size_t size, size_t limit);

void silence_log();
