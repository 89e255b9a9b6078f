#pragma once
// The cubemap CubeA draws into: an RGBA32F cube of square faces, with a
// framebuffer on each face, so a pass draws it face by face.

#include <GL/glew.h>

#include <cstdint>

constexpr int kCubeFaceCount = 6;
// A face's side at full render scale; the render scale shrinks it per side.
constexpr int kCubeFaceSize = 1024;

struct CubeTarget {
    GLuint face_framebuffers[kCubeFaceCount];  // in GL's face order, +X first
    GLuint colour_texture;
    int size;  // a face's side; 0 while there is none
};

// Storage of `size` per face, cleared.
void create_cube_target(CubeTarget* target, int size);
void delete_cube_target(CubeTarget* target);

// The old cube's faces, stretched smoothly over the target's.
void carry_cube_over(GLuint old_texture, int old_size, const CubeTarget& target);

// The whole of `from` into `to`, of the same size.
void copy_cube(const CubeTarget& from, const CubeTarget& to);

uint64_t cube_target_bytes(const CubeTarget& target);
