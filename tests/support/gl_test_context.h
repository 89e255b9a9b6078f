#pragma once
// A real OpenGL 4.5 core context for tests: EGL without a window on the host,
// the player's own WGL context creation on a hidden window under Windows.

#include <gtest/gtest.h>

bool open_test_gl_context();
void close_test_gl_context();

// Test suites that need GL derive from this; the context lives for the suite.
class GlTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(open_test_gl_context()); }
    static void TearDownTestSuite() { close_test_gl_context(); }
};
