#pragma once
// One player runs at a time; a later start hands its path to it.

enum class InstanceRole { First, Later, Unknown };

// Creates the process-wide mutex, kept open until the process ends.
// Unknown when the mutex could not be created at all.
InstanceRole claim_single_instance();

// Sends the path (or no path) to the running player and returns the exit
// code: 0 when it was delivered, 1 when no running player was found or it
// did not answer within a few seconds.
int forward_to_running_instance(const char* path);
