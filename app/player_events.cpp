#include "app/player_events.h"

static unsigned pending_events = 0;

void report_player_event(PlayerEvent event) { pending_events |= event; }

bool take_player_event(PlayerEvent event) {
    const bool pending = player_event_pending(event);
    pending_events &= ~static_cast<unsigned>(event);
    return pending;
}

bool player_event_pending(PlayerEvent event) { return (pending_events & event) != 0; }
