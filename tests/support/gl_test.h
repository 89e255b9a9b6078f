#pragma once
// Test suites that need GL derive from GlTest; the context lives for the
// suite.

#include <gtest/gtest.h>

#include "tests/support/gl_test_context.h"

class GlTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(open_test_gl_context()); }
    static void TearDownTestSuite() { close_test_gl_context(); }
};
