# Host tests: plain logic and GL against Mesa through EGL, under the sanitizers.

add_executable(lumenfold_host_tests
  ${LUMENFOLD_SHARED_TEST_SOURCES}
  tests/support/gl_test_context_egl.cpp
  tests/unit/debugger_copy_test.cpp
)
target_link_libraries(lumenfold_host_tests PRIVATE lumenfold_core OpenGL::EGL GTest::gtest GTest::gtest_main)
lumenfold_sanitize(lumenfold_host_tests)
lumenfold_warnings(lumenfold_host_tests)

# Mesa keeps driver allocations until the process ends; those are not ours.
set(LUMENFOLD_SANITIZER_ENVIRONMENT
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0"
  "ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "EGL_PLATFORM=surfaceless"
)
gtest_discover_tests(lumenfold_host_tests
  TEST_PREFIX "host."
  PROPERTIES ENVIRONMENT "${LUMENFOLD_SANITIZER_ENVIRONMENT}"
  DISCOVERY_MODE PRE_TEST
)
