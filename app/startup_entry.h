#pragma once
// "Start with Windows": the value "Lumenfold" under
// HKCU\Software\Microsoft\Windows\CurrentVersion\Run, which the shell runs at
// logon, and its record under ...\Explorer\StartupApproved\Run, where Task
// Manager's Startup page notes that the user turned an entry off. What
// counts is what the shell will do, so both are read each time.

#include <cstddef>
#include <cstdint>

// The StartupApproved record: its first byte is even (02) for an entry
// that runs, odd (03, with the time it was turned off after it) for one
// that the user turned off.
constexpr size_t kStartupApprovedSize = 12;
extern const uint8_t kStartupApprovedEnabled[kStartupApprovedSize];

struct StartupRecords {
    bool run_value_present;
    bool approved_present;
    const uint8_t* approved;  // the StartupApproved value's bytes
    size_t approved_size;
};

// True when the shell will start the player at logon: the Run value is
// there and no StartupApproved record turns it off. A record too short to
// say anything turns nothing off, as the shell reads it.
bool starts_with_windows(const StartupRecords& records);

// The Run value for the executable at `exe_path` (UTF-8): the quoted path,
// then --resume. Malloc'd; null only when no memory is left.
char* run_value_for(const char* exe_path);
