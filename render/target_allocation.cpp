#include "render/target_allocation.h"

#include <GL/glew.h>

#include "base/log.h"
#include "gl/gl_diagnostics.h"
#include "render/playing_set.h"

// The error flag is taken only when an allocation failed: it belongs to that
// failure, and a renderer that checks it later must not see it again.
static const char* failure_reason(GLenum status) {
    GLenum error = glGetError();
    const GLenum first_error = error;
    while (error != GL_NO_ERROR) error = glGetError();
    return first_error != GL_NO_ERROR ? gl_enum_name(first_error) : gl_enum_name(status);
}

static bool framebuffer_complete(GLuint framebuffer, const char* name, int width, int height) {
    if (!framebuffer) return true;
    const GLenum status = glCheckNamedFramebufferStatus(framebuffer, GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE) return true;
    log_message("render target %s of %dx%d could not be allocated: %s", name, width, height, failure_reason(status));
    return false;
}

bool check_render_targets(PlayingSet* set) {
    static const char* const kNames[kRenderTargetCount] = {"BufferA", "BufferB", "BufferC", "BufferD"};
    bool complete = true;
    for (int index = 0; index < kRenderTargetCount && complete; ++index) {
        const RenderTarget& target = set->targets[index];
        complete = framebuffer_complete(target.framebuffer, kNames[index], target.width, target.height) &&
                   framebuffer_complete(set->scratch[index].framebuffer, kNames[index], target.width, target.height);
    }
    for (int face = 0; face < kCubeFaceCount && complete; ++face) {
        const int size = set->cube_target.size;
        complete = framebuffer_complete(set->cube_target.face_framebuffers[face], "CubeA", size, size) &&
                   framebuffer_complete(set->cube_scratch.face_framebuffers[face], "CubeA", size, size);
    }
    const RenderTarget& main_target = set->main_target;
    complete = complete && framebuffer_complete(main_target.framebuffer, "Main", main_target.width, main_target.height);
    set->targets_missing = !complete;
    if (complete) set->allocation_given_up = false;
    return complete;
}

bool render_targets_allocated(const PlayingSet& set) { return !set.targets_missing; }

bool fall_back_to_smaller_render_scale(PlayingSet* set) {
    while (set->targets_missing) {
        const int scale = set->size.scale_percent;
        if (scale <= kMinimumRenderScale) {
            if (!set->allocation_given_up) {
                log_message("render targets cannot be allocated even at the smallest render scale, %d %%", scale);
            }
            // Said once, not on every frame.
            set->allocation_given_up = true;
            return false;
        }
        const int smaller = scale / 2 > kMinimumRenderScale ? scale / 2 : kMinimumRenderScale;
        log_message("render targets could not be allocated at render scale %d %%: falling back to %d %%", scale,
                    smaller);
        set_render_scale(set, smaller);
        recreate_render_targets(set);
    }
    return true;
}
