#pragma once
// At most so many frames per second, kept with a high-resolution waitable
// timer that the loop waits on together with its messages.

#include <windows.h>

void start_frame_rate_cap();
void stop_frame_rate_cap();

// 0 means the display's refresh rate.
void cap_frame_rate(int frames_per_second);
// The cap in frames per second, the display's rate when none was asked for.
int frame_rate_cap_now();
// The GPU budget's own, lower limit under the cap; 0 takes it away.
void hold_frame_rate_to(int frames_per_second);
// The display changed: a cap that follows its refresh rate follows it.
void follow_display_refresh_rate();

bool frame_may_start();
// Set to fire when the next frame may start; null when it may start now.
HANDLE frame_timer();
void note_frame_start();
