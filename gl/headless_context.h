#pragma once
// An OpenGL 4.5 core context with nothing on screen, for programs that draw
// into their own targets: EGL without a display on the host, a hidden window
// with the player's own context creation under Windows. One per process.

// Makes the context current; its default framebuffer (a pbuffer or the
// hidden window) has the given size. Logs why and returns false when no such
// context can be had. Opening it again while it is open changes nothing.
bool open_headless_context(int width, int height);
void close_headless_context();
