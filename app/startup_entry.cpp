#include "app/startup_entry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const uint8_t kStartupApprovedEnabled[kStartupApprovedSize] = {0x02};

bool starts_with_windows(const StartupRecords& records) {
    if (!records.run_value_present) return false;
    if (!records.approved_present || records.approved_size == 0 || !records.approved) return true;
    return (records.approved[0] & 1) == 0;
}

char* run_value_for(const char* exe_path) {
    static const char kResume[] = " --resume";
    const size_t size = strlen(exe_path) + 2 + sizeof kResume;
    char* value = static_cast<char*>(malloc(size));
    if (value) snprintf(value, size, "\"%s\"%s", exe_path, kResume);
    return value;
}
