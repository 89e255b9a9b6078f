#pragma once
// Records every logged line while it is alive, so tests assert on what the
// program said rather than on how it said it.

#include <string>
#include <vector>

struct RecordingLog {
    std::vector<std::string> lines;

    RecordingLog();
    ~RecordingLog();
    RecordingLog(const RecordingLog&) = delete;
    RecordingLog& operator=(const RecordingLog&) = delete;

    // Index of the first line at or after `from` that starts with `prefix`,
    // or -1.
    int find_prefix(const std::string& prefix, int from = 0) const;
    int count_prefix(const std::string& prefix) const;
    bool has_prefix(const std::string& prefix) const { return find_prefix(prefix) >= 0; }
    std::string joined() const;
};
