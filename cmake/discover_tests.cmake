# Lists a GoogleTest executable's tests when CTest runs, one CTest test per
# test, each with a time-out. Unlike gtest_discover_tests, a listing that
# crashes, hangs or fails becomes one failing test of its own instead of
# stopping CTest, so every other test of the directory (the end-to-end
# scripts included) still runs and is counted.
#
#   lumenfold_discover_tests(target PREFIX <prefix> TIMEOUT <seconds>
#                            [EMULATOR <command>])
set(LUMENFOLD_DISCOVERY_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/discover_tests_at_ctest_time.cmake)

function(lumenfold_discover_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;TIMEOUT;EMULATOR" "")
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_discovery.cmake)
  file(GENERATE OUTPUT ${include_file} CONTENT
"set(discovery_executable \"$<TARGET_FILE:${target}>\")
set(discovery_emulator \"${arg_EMULATOR}\")
set(discovery_prefix \"${arg_PREFIX}\")
set(discovery_timeout \"${arg_TIMEOUT}\")
set(discovery_cmake \"${CMAKE_COMMAND}\")
include(\"${LUMENFOLD_DISCOVERY_SCRIPT}\")
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
