#pragma once
// Wraps a pass text into the one GLSL text that serves both stages.

#include <GL/glew.h>

// The text lives in a per-thread buffer until the next pass is assembled on
// that thread; it is never cut. `channel_targets` gives each of the pass's
// four channels its texture kind (GL_TEXTURE_3D, GL_TEXTURE_CUBE_MAP; 0 or
// null: 2D), so each is declared with its sampler type.
const char* assemble_pass_source(const char* pass_text, const char* common_text, int pass_index,
                                 const GLenum* channel_targets = nullptr);

extern const char kPassVertexText[];
// A format: each channel's sampler type goes in its "%s".
extern const char kPassFragmentHeader[];
extern const char kPassMainWrapper[];
// CubeA's: mainCubemap with the direction through the face's texel.
extern const char kCubePassMainWrapper[];
// The uniform that names the face's axes (a mat3) in CubeA.
constexpr const char* kCubeFaceUniform = "lumenfoldCubeFace";
extern const char kPassConventionDefines[];

// The source-string numbers compiler messages give before the line number.
constexpr int kPassSourceNumber = 0;
constexpr int kCommonPartSourceNumber = 1;
