#pragma once
// One player runs at a time; a later start hands its request to it.

#include "app/player_arguments.h"

enum class InstanceRole { First, Later, Unknown };

// Creates the process-wide mutex, kept open until the process ends.
// Unknown when the mutex could not be created at all.
InstanceRole claim_single_instance();

// Hands the request to the running player and returns the exit code: 0 when
// the player played it (or ended, for --quit), 1 when no running player was
// found, it did not answer, refused the request or could not install the set;
// kRunningPlayerEnded when it ended before it answered, and this start may
// claim the name again and play.
constexpr int kRunningPlayerEnded = -1;
int forward_to_running_instance(const PlayerArguments& arguments);

// The thread message that tells a waiting later start how its request ended;
// wParam is one of the outcomes.
enum ForwardOutcome { kOutcomeNotInstalled = 0, kOutcomeInstalled = 1, kOutcomeReplaced = 2 };
void post_forward_outcome(unsigned reply_thread, ForwardOutcome outcome);
