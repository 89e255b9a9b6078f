#pragma once
// Why the player rests. It draws nothing while any reason holds; each
// reason that starts to hold is logged, and so is the end of the rest.

enum PauseReason : unsigned {
    kPausedCovered = 1u << 0,
    kPausedLocked = 1u << 1,
    kPausedDisplayOff = 1u << 2,
    kPausedBatterySaver = 1u << 3,
    kPausedByUser = 1u << 4,
};

void set_pause_reason(PauseReason reason, bool holds);
bool pause_reason_holds(PauseReason reason);
bool player_paused();
