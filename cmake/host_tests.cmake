# Host tests: plain logic and GL against Mesa through EGL, under the sanitizers.

add_executable(lumenfold_host_tests
  ${LUMENFOLD_SHARED_TEST_SOURCES}
  tests/unit/debugger_copy_test.cpp
  tests/support/sanitizer_defaults.cpp
)
target_link_libraries(lumenfold_host_tests PRIVATE lumenfold_headless GTest::gtest GTest::gtest_main)
lumenfold_sanitize(lumenfold_host_tests)
lumenfold_warnings(lumenfold_host_tests)

lumenfold_discover_tests(lumenfold_host_tests PREFIX "host." TIMEOUT 240)
