# Run by CTest (see discover_tests.cmake) with discovery_executable,
# discovery_emulator, discovery_prefix, discovery_timeout and discovery_cmake
# set. Adds the executable's tests, or one failing "<prefix>listing" test.

execute_process(
  COMMAND ${discovery_emulator} "${discovery_executable}" --gtest_list_tests
  OUTPUT_VARIABLE discovery_listing
  ERROR_VARIABLE discovery_errors
  RESULT_VARIABLE discovery_result
  TIMEOUT 120)

macro(discovery_failed reason)
  # An echo that succeeds, expected to fail: the test fails and its output
  # says why the listing did.
  add_test("${discovery_prefix}listing" "${discovery_cmake}" -E echo
    "listing the tests of ${discovery_executable} failed: ${reason}")
  set_tests_properties("${discovery_prefix}listing" PROPERTIES WILL_FAIL TRUE)
endmacro()

if(NOT discovery_result STREQUAL "0")
  string(REPLACE "\n" " " discovery_errors "${discovery_errors}")
  discovery_failed("${discovery_result} ${discovery_errors}")
  return()
endif()

string(REPLACE "\r" "" discovery_listing "${discovery_listing}")
string(REPLACE ";" "\\;" discovery_listing "${discovery_listing}")
string(REPLACE "\n" ";" discovery_lines "${discovery_listing}")
set(discovery_suite "")
set(discovery_count 0)
foreach(discovery_line IN LISTS discovery_lines)
  if(discovery_line MATCHES "^([A-Za-z_][A-Za-z0-9_/]*)\\.")
    set(discovery_suite "${CMAKE_MATCH_1}")
  elseif(discovery_suite AND discovery_line MATCHES "^  ([A-Za-z_][A-Za-z0-9_/]*)")
    set(discovery_test "${discovery_suite}.${CMAKE_MATCH_1}")
    if(discovery_test MATCHES "(^|\\.)DISABLED_")
      continue()
    endif()
    add_test("${discovery_prefix}${discovery_test}" ${discovery_emulator} "${discovery_executable}"
      "--gtest_filter=${discovery_test}")
    set_tests_properties("${discovery_prefix}${discovery_test}" PROPERTIES
      TIMEOUT "${discovery_timeout}"
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
    math(EXPR discovery_count "${discovery_count} + 1")
  endif()
endforeach()
if(discovery_count EQUAL 0)
  discovery_failed("no test was listed")
endif()
