#pragma once
// What the log says about the GL context: the driver strings once at start-up
// and every message of the driver's debug output.

#include <GL/glew.h>

void log_gl_info();
// Only the low byte of the flag counts: zero silences every debug message
// while output itself stays enabled.
void enable_gl_debug_output(int debug_output_flag);
void GLAPIENTRY gl_debug_callback(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                                  const GLchar* message, const void* user);
const char* gl_enum_name(GLenum value);

// Whether the renderer draws on the CPU (Mesa's llvmpipe and softpipe,
// SwiftShader, Windows' own GDI and Basic Render drivers): there a timer
// query does not time a whole draw, and waiting for it is the draw itself.
bool renderer_rasterizes_in_software(const char* renderer);
bool gl_rasterizes_in_software();
