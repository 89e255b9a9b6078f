#include "render/cube_target.h"

#include "render/texture_loading.h"

static const uint64_t kBytesPerTexel = 16;

void create_cube_target(CubeTarget* target, int size) {
    glCreateTextures(GL_TEXTURE_CUBE_MAP, 1, &target->colour_texture);
    glTextureStorage2D(target->colour_texture, 1, GL_RGBA32F, size, size);
    set_texture_sampling(target->colour_texture, GL_LINEAR, GL_CLAMP_TO_EDGE);
    // A pass that reads the cube before it is drawn reads zeros, not
    // whatever memory the texture got.
    glClearTexImage(target->colour_texture, 0, GL_RGBA, GL_FLOAT, nullptr);
    glCreateFramebuffers(kCubeFaceCount, target->face_framebuffers);
    const GLenum draw_buffer = GL_COLOR_ATTACHMENT0;
    for (int face = 0; face < kCubeFaceCount; ++face) {
        const GLuint framebuffer = target->face_framebuffers[face];
        glNamedFramebufferTextureLayer(framebuffer, GL_COLOR_ATTACHMENT0, target->colour_texture, 0, face);
        glNamedFramebufferDrawBuffers(framebuffer, 1, &draw_buffer);
    }
    target->size = size;
}

void delete_cube_target(CubeTarget* target) {
    if (target->face_framebuffers[0]) glDeleteFramebuffers(kCubeFaceCount, target->face_framebuffers);
    if (target->colour_texture) glDeleteTextures(1, &target->colour_texture);
    *target = CubeTarget{};
}

void carry_cube_over(GLuint old_texture, int old_size, const CubeTarget& target) {
    GLuint read_framebuffer = 0;
    glCreateFramebuffers(1, &read_framebuffer);
    glNamedFramebufferReadBuffer(read_framebuffer, GL_COLOR_ATTACHMENT0);
    for (int face = 0; face < kCubeFaceCount; ++face) {
        glNamedFramebufferTextureLayer(read_framebuffer, GL_COLOR_ATTACHMENT0, old_texture, 0, face);
        glBlitNamedFramebuffer(read_framebuffer, target.face_framebuffers[face], 0, 0, old_size, old_size, 0, 0,
                               target.size, target.size, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    }
    glDeleteFramebuffers(1, &read_framebuffer);
}

void copy_cube(const CubeTarget& from, const CubeTarget& to) {
    glCopyImageSubData(from.colour_texture, GL_TEXTURE_CUBE_MAP, 0, 0, 0, 0, to.colour_texture, GL_TEXTURE_CUBE_MAP, 0,
                       0, 0, 0, to.size, to.size, kCubeFaceCount);
}

uint64_t cube_target_bytes(const CubeTarget& target) {
    const uint64_t side = static_cast<uint64_t>(target.size);
    return kCubeFaceCount * side * side * kBytesPerTexel;
}
