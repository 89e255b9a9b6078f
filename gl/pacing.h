#pragma once
// Presentation pacing decisions, apart from WGL and the compositor so that
// every row of the decision can be tested.

// Asks the compositor whether composition is enabled: returns a negative
// value on failure, otherwise stores the flag. Only consulted where the
// Windows version leaves the answer open.
typedef long (*CompositionQuery)(int* enabled);

// Windows before 6.0 has no compositor; 6.2 and later always compose; on 6.0
// and 6.1 the compositor is asked.
bool composition_is_on(bool at_least_6_0, bool at_least_6_2, CompositionQuery ask_compositor);

// With composition the compositor paces the frames, so the driver must not
// wait for vertical blanks as well.
int driver_swap_interval(bool composition_on, int configured_interval);

// How often a frame waits for the compositor before its buffer swap.
int compositor_waits_per_frame(bool composition_on, int configured_interval);
