#include "render/frame_fence.h"

void place_frame_fence(FrameFence* fence) {
    drop_frame_fence(fence);
    fence->sync = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
}

bool frame_fence_passed(FrameFence* fence, uint64_t timeout_ns) {
    if (!fence->sync) return true;
    const GLenum state = glClientWaitSync(fence->sync, 0, timeout_ns);
    // A failed wait (a lost context) would otherwise hold the loop forever.
    if (state == GL_TIMEOUT_EXPIRED) return false;
    drop_frame_fence(fence);
    return true;
}

void drop_frame_fence(FrameFence* fence) {
    if (fence->sync) glDeleteSync(fence->sync);
    fence->sync = nullptr;
}
