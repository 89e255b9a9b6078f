#pragma once
// The Run value and its StartupApproved record in the user's registry.

// What the shell will do at the next logon.
bool start_with_windows_now();
// Writes the Run value for this executable and marks it approved, or
// removes both; logs what it did. False when the registry refused.
bool set_start_with_windows(bool start);
