// Tests draw on the same headless context the render tool uses.
#include "tests/support/gl_test_context.h"

#include "gl/headless_context.h"

bool open_test_gl_context(int width, int height) { return open_headless_context(width, height); }

void close_test_gl_context() { close_headless_context(); }
