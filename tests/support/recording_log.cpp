#include "tests/support/recording_log.h"

#include "base/log.h"

static void record_line(const char* line, void* user) { static_cast<RecordingLog*>(user)->lines.push_back(line); }

RecordingLog::RecordingLog() { set_log_observer(record_line, this); }

RecordingLog::~RecordingLog() { set_log_observer(nullptr, nullptr); }

int RecordingLog::find_prefix(const std::string& prefix, int from) const {
    for (int index = from; index < static_cast<int>(lines.size()); ++index) {
        if (lines[index].compare(0, prefix.size(), prefix) == 0) return index;
    }
    return -1;
}

int RecordingLog::count_prefix(const std::string& prefix) const {
    int count = 0;
    for (const std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0) ++count;
    }
    return count;
}

std::string RecordingLog::joined() const {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}
