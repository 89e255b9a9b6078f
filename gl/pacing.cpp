#include "gl/pacing.h"

bool composition_is_on(bool at_least_6_0, bool at_least_6_2, CompositionQuery ask_compositor) {
    if (!at_least_6_0) return false;
    if (at_least_6_2) return true;
    int enabled = 0;
    if (!ask_compositor || ask_compositor(&enabled) < 0) return false;
    return enabled != 0;
}

int driver_swap_interval(bool composition_on, int configured_interval) {
    return composition_on ? 0 : configured_interval;
}

int compositor_waits_per_frame(bool composition_on, int configured_interval) {
    if (!composition_on || configured_interval < 0) return 0;
    return configured_interval;
}
