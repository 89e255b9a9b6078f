# Windows tests run under Wine through the cross-compiling emulator: the
# shared unit and GL tests, plus end-to-end scripts that drive the player.
set(LUMENFOLD_GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest source tree to build with the project")
if(LUMENFOLD_GTEST_SOURCE_DIR)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${LUMENFOLD_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()

add_executable(lumenfold_tests
  ${LUMENFOLD_SHARED_TEST_SOURCES}
  tests/support/crash_exit_win32.cpp
  tests/support/unreadable_file_win32.cpp
  tests/windows/desktop_follow_test.cpp
  tests/windows/settings_file_test.cpp
  tests/windows/sound_mix_format_test.cpp
  tests/windows/tray_icon_test.cpp
  tests/windows/windows_version_test.cpp
)
target_link_libraries(lumenfold_tests PRIVATE lumenfold_platform GTest::gtest GTest::gtest_main)
lumenfold_windows_defaults(lumenfold_tests)
lumenfold_warnings(lumenfold_tests)

add_executable(lumenfold_dpi_probe tests/windows/dpi_probe.cpp)
target_link_libraries(lumenfold_dpi_probe PRIVATE lumenfold_platform)
lumenfold_windows_defaults(lumenfold_dpi_probe)
lumenfold_warnings(lumenfold_dpi_probe)

add_executable(lumenfold_probe tests/windows/probe.cpp)
target_link_libraries(lumenfold_probe PRIVATE user32 shell32)
lumenfold_windows_defaults(lumenfold_probe)
lumenfold_warnings(lumenfold_probe)

if(CMAKE_CROSSCOMPILING)
  set(LUMENFOLD_WINE_EXEC ${CMAKE_SOURCE_DIR}/scripts/wine-exec)
  set_target_properties(lumenfold_tests PROPERTIES CROSSCOMPILING_EMULATOR ${LUMENFOLD_WINE_EXEC})
  lumenfold_discover_tests(lumenfold_tests PREFIX "windows." TIMEOUT 240 EMULATOR ${LUMENFOLD_WINE_EXEC})

  # Each script starts the player itself; one player at a time, since a
  # second one would only forward to the first.
  file(GLOB LUMENFOLD_E2E_SCRIPTS ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.sh)
  foreach(script ${LUMENFOLD_E2E_SCRIPTS})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME windows.e2e.${name} COMMAND bash ${script})
    set_tests_properties(windows.e2e.${name} PROPERTIES
      RUN_SERIAL TRUE
      TIMEOUT 240
      ENVIRONMENT "LUMENFOLD_EXE=$<TARGET_FILE:lumenfold>;LUMENFOLD_PROBE=$<TARGET_FILE:lumenfold_probe>;LUMENFOLD_DPI_PROBE=$<TARGET_FILE:lumenfold_dpi_probe>;LUMENFOLD_BIN=${CMAKE_BINARY_DIR}")
  endforeach()
  # It builds the setup program first when the player is newer.
  set_tests_properties(windows.e2e.installer_test PROPERTIES TIMEOUT 480)
  # Two players, each through two rounds of turns.
  set_tests_properties(windows.e2e.playlist_test PROPERTIES TIMEOUT 420)
  # Ten rounds of the built-in set at 1280x720, whose first frame after each
  # install is drawn whole.
  set_tests_properties(windows.e2e.responsive_test PROPERTIES TIMEOUT 900)

  add_test(NAME windows.render.render_tool_smoke_test
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/render/render_tool_smoke_test.sh)
  set_tests_properties(windows.render.render_tool_smoke_test PROPERTIES
    TIMEOUT 240
    ENVIRONMENT "LUMENFOLD_RENDER=$<TARGET_FILE:lumenfold_render>;LUMENFOLD_RENDER_EMULATOR=wine;LUMENFOLD_BIN=${CMAKE_BINARY_DIR}")

  # The importer as a Windows program; the host flavour's test renders what it writes.
  add_test(NAME windows.import.import_tool_test COMMAND bash ${CMAKE_SOURCE_DIR}/tests/import/import_tool_test.sh)
  set_tests_properties(windows.import.import_tool_test PROPERTIES
    TIMEOUT 240
    ENVIRONMENT "LUMENFOLD_IMPORT=$<TARGET_FILE:lumenfold_import>;LUMENFOLD_IMPORT_EMULATOR=wine;LUMENFOLD_BIN=${CMAKE_BINARY_DIR}")
endif()

# The desktop layer's tests bring a fake shell of their own.
if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/desktop_tests.cmake)
  include(cmake/desktop_tests.cmake)
endif()
