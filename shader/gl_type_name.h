#pragma once
// The GLSL name of a GL type enum, as the interface report prints it.

#include <GL/glew.h>

// Unlisted types give "unknown: 0x…", valid until the next such call.
const char* gl_type_name(GLenum type);
