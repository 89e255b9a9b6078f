#pragma once
// Messages are handled wherever the loop waits: between frames, while the
// GL still works on the presented frame, and between two bands of a pass,
// so that a frame that costs seconds never leaves a later start, the tray
// icon or the system without an answer.

#include <windows.h>

// Dispatches every queued message without waiting; true once WM_QUIT was
// seen, here or in an earlier drain.
bool drain_messages();

// Blocks until a message arrives, one of `handles` is signalled, or
// `timeout_ms` passes.
void wait_for_messages_or(const HANDLE* handles, DWORD count, DWORD timeout_ms);

// While a band of a pass draws: handles what came, without waiting. True when the frame should give way to what came: an exit, a pass
// set asked for, the host window gone or the displays changed.
bool handle_messages_between_bands(void* context);

// One log line: the longest stretch the loop went without looking at its
// messages, since it started.
void log_longest_without_messages();
