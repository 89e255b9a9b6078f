#include "app/pause_state.h"

#include "base/log.h"

static unsigned reasons = 0;

static const char* reason_text(PauseReason reason) {
    switch (reason) {
        case kPausedCovered:
            return "covered";
        case kPausedLocked:
            return "locked";
        case kPausedDisplayOff:
            return "display off";
        case kPausedBatterySaver:
            return "battery saver";
        case kPausedByUser:
            return "by user";
    }
    return "unknown";
}

void set_pause_reason(PauseReason reason, bool holds) {
    const unsigned before = reasons;
    reasons = holds ? reasons | reason : reasons & ~static_cast<unsigned>(reason);
    if (reasons == before) return;
    if (holds) {
        log_message("paused: %s", reason_text(reason));
    } else if (reasons == 0) {
        log_message("resumed");
    }
}

bool pause_reason_holds(PauseReason reason) { return (reasons & reason) != 0; }

bool player_paused() { return reasons != 0; }
