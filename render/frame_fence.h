#pragma once
// A fence behind GL work that the CPU must not run ahead of: a presented
// frame, or a band of a pass. Polled with no timeout, so whoever waits for
// it keeps doing its own work (messages, watches) in between.

#include <GL/glew.h>

#include <cstdint>

struct FrameFence {
    GLsync sync;  // null: nothing to wait for
};

// Fences everything issued so far and flushes it, so the fence can pass
// without anyone asking; an older fence in `fence` is dropped.
void place_frame_fence(FrameFence* fence);

// True once the GL has done everything before the fence (or none was
// placed); the fence is dropped then. Waits `timeout_ns` at most.
bool frame_fence_passed(FrameFence* fence, uint64_t timeout_ns = 0);

void drop_frame_fence(FrameFence* fence);
