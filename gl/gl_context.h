#pragma once
// The host window's OpenGL 4.5 core context and how its frames are presented.

#include <windows.h>

extern HDC gl_device_context;
extern HGLRC gl_render_context;

// Leaves the final context created but not current; logs and returns false
// when no context of the given version can be had.
bool create_gl_context(HWND window, int major_version, int minor_version);
// Gives a new window the context's pixel format and makes the context
// current on it: the programs, textures and buffers live on unchanged.
bool move_gl_context_to(HWND window);
// Makes no context current and gives the window's device context back; the
// context itself lives on.
void release_window_device_context(HWND window, HDC device_context);
void delete_gl_context();
void apply_swap_interval(int interval);
void present_frame(HDC device_context, int swap_interval);
