#pragma once
// Turns one GLSL text that carries every stage between #ifdef blocks into a
// linked program, and reports the program's interface to the log.

#include <GL/glew.h>

#include <cstddef>

// A linked program, or 0 after the reason was logged.
GLuint build_program(const char* text, bool with_geometry_stage);
GLuint compile_stage(const char* version_line, const char* stage_macro, const char* text, GLenum type);
int check_link_and_report(GLuint program);

// The "#version" line for the current context.
const char* glsl_version_header();
// The same line for a given context version and profile mask.
void format_glsl_version_line(char* out, size_t size, int major, int minor, int profile_mask);
