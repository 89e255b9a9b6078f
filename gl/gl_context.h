#pragma once
// The host window's OpenGL 4.5 core context and how its frames are presented.

#include <windows.h>

extern HDC gl_device_context;
extern HGLRC gl_render_context;

// Leaves the final context created but not current; logs and returns false
// when no context of the configured version can be had.
bool create_gl_context(HWND window);
void release_gl_context(HWND window, HDC device_context);
void apply_swap_interval(int interval);
void present_frame(HDC device_context);
