#pragma once
// A real OpenGL 4.5 core context for tests: EGL without a window on the host,
// the player's own WGL context creation on a hidden window under Windows.

// The default framebuffer (pbuffer or window) has the given size.
bool open_test_gl_context(int width = 64, int height = 64);
void close_test_gl_context();
