# The desktop layer's tests: a unit test in the Windows test executable, and
# a fake shell that plays Explorer's desktop windows for the end-to-end
# scripts, since Wine has none.
target_sources(lumenfold_tests PRIVATE tests/windows/desktop_layer_test.cpp)

add_executable(lumenfold_fake_shell tests/windows/fake_shell.cpp)
target_link_libraries(lumenfold_fake_shell PRIVATE user32)
lumenfold_windows_defaults(lumenfold_fake_shell)
lumenfold_warnings(lumenfold_fake_shell)

if(CMAKE_CROSSCOMPILING)
  file(GLOB LUMENFOLD_DESKTOP_E2E_SCRIPTS ${CMAKE_SOURCE_DIR}/tests/e2e/desktop_*_test.sh
    ${CMAKE_SOURCE_DIR}/tests/e2e/two_monitor_*_test.sh)
  # The installed player attaches to a desktop too.
  list(APPEND LUMENFOLD_DESKTOP_E2E_SCRIPTS ${CMAKE_SOURCE_DIR}/tests/e2e/installer_test.sh)
  foreach(script ${LUMENFOLD_DESKTOP_E2E_SCRIPTS})
    get_filename_component(name ${script} NAME_WE)
    set_property(TEST windows.e2e.${name} APPEND PROPERTY
      ENVIRONMENT "LUMENFOLD_FAKE_SHELL=$<TARGET_FILE:lumenfold_fake_shell>")
  endforeach()
  # A desk that changes several times, each change waited for.
  set_tests_properties(windows.e2e.two_monitor_player_test PROPERTIES TIMEOUT 600)
  set_tests_properties(windows.e2e.two_monitor_playlist_test PROPERTIES TIMEOUT 360)
endif()
