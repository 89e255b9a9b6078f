# Host tests: plain logic and GL against Mesa through EGL, under the sanitizers.

add_executable(lumenfold_host_tests
  ${LUMENFOLD_SHARED_TEST_SOURCES}
  tests/unit/debugger_copy_test.cpp
  tests/support/unreadable_file_posix.cpp
  tests/support/sanitizer_defaults.cpp
)
target_link_libraries(lumenfold_host_tests PRIVATE lumenfold_headless GTest::gtest GTest::gtest_main)
lumenfold_sanitize(lumenfold_host_tests)
lumenfold_warnings(lumenfold_host_tests)

lumenfold_discover_tests(lumenfold_host_tests PREFIX "host." TIMEOUT 240)

# The render tool run as a process, as authors run it.
add_test(NAME host.render.render_tool_test COMMAND bash ${CMAKE_SOURCE_DIR}/tests/render/render_tool_test.sh)
set_tests_properties(host.render.render_tool_test PROPERTIES
  TIMEOUT 600
  ENVIRONMENT "LUMENFOLD_RENDER=$<TARGET_FILE:lumenfold_render>;LUMENFOLD_BIN=${CMAKE_BINARY_DIR};EGL_PLATFORM=surfaceless")

# The importer as a process, its sets rendered by the render tool.
add_test(NAME host.import.import_tool_test COMMAND bash ${CMAKE_SOURCE_DIR}/tests/import/import_tool_test.sh)
set_tests_properties(host.import.import_tool_test PROPERTIES
  TIMEOUT 300
  ENVIRONMENT "LUMENFOLD_IMPORT=$<TARGET_FILE:lumenfold_import>;LUMENFOLD_RENDER=$<TARGET_FILE:lumenfold_render>;LUMENFOLD_BIN=${CMAKE_BINARY_DIR};EGL_PLATFORM=surfaceless")

# Every parser of outside bytes, fuzzed for 20 s each with libFuzzer under
# the sanitizers (clang, apart from this build's compiler): a crash fails.
# tools/fuzz runs them for as long as one likes.
add_test(NAME host.fuzz.build COMMAND bash ${CMAKE_SOURCE_DIR}/tools/fuzz build)
set_tests_properties(host.fuzz.build PROPERTIES TIMEOUT 900 FIXTURES_SETUP fuzz_targets)
foreach(target channel_directives settings_values render_arguments forwarded_request pass_assembly)
  add_test(NAME host.fuzz.${target} COMMAND bash ${CMAKE_SOURCE_DIR}/tools/fuzz run 20 ${target})
  set_tests_properties(host.fuzz.${target} PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED fuzz_targets)
endforeach()
