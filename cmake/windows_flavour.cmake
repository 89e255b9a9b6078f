# The player: a 64-bit GUI executable whose entry point is main(argc, argv).
include(cmake/glew.cmake)

# The main thread compiles shaders too: its reserve is the compiler's stack.
function(lumenfold_compiler_stack target)
  if(MINGW)
    target_link_options(${target} PRIVATE -Wl,--stack,${LUMENFOLD_COMPILER_STACK_BYTES})
  endif()
endfunction()

function(lumenfold_windows_defaults target)
  target_compile_definitions(${target} PRIVATE
    WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00 _CRT_SECURE_NO_WARNINGS)
  if(MINGW)
    # Everything static, so the executable runs without any DLL beside it.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

lumenfold_core_library(lumenfold_core base/command_line_win32.cpp base/compiler_thread_win32.cpp
  base/debugger_output_win32.cpp gl/build_context_wgl.cpp
  base/file_access_win32.cpp base/folder_listing_win32.cpp desktop/monitors_win32.cpp)
target_link_libraries(lumenfold_core PUBLIC GLEW::GLEW opengl32 gdi32 shell32 user32)
lumenfold_windows_defaults(lumenfold_core)

# Everything that talks to Windows, apart from the entry point.
add_library(lumenfold_platform STATIC
  app/desktop_watch.cpp
  app/folder_watch.cpp
  app/frame_rate_cap.cpp
  app/gpu_budget.cpp
  app/host_window.cpp
  app/log_file.cpp
  app/main_loop.cpp
  app/message_pump.cpp
  app/monitor_arrangement.cpp
  app/notification_window.cpp
  app/pausing.cpp
  app/playlists.cpp
  app/settings_apply.cpp
  app/settings_file.cpp
  app/resume.cpp
  app/single_instance.cpp
  app/sound_listening.cpp
  app/startup_entry_win32.cpp
  app/tray_icon.cpp
  app/tray_menu.cpp
  desktop/desktop_layer.cpp
  desktop/dpi_awareness.cpp
  desktop/sound_capture_win32.cpp
  desktop/sound_mix_format.cpp
  desktop/windows_version.cpp
  gl/gl_context.cpp
  gl/headless_context_wgl.cpp
)
target_link_libraries(lumenfold_platform PUBLIC lumenfold_core user32 gdi32 shell32 winmm dwmapi comdlg32 ole32 advapi32)
lumenfold_windows_defaults(lumenfold_platform)
lumenfold_warnings(lumenfold_platform)

add_executable(lumenfold WIN32
  app/main.cpp
  desktop/platform_win32.cpp
  gl/gpu_preference.cpp
  assets/lumenfold.rc
)
target_link_libraries(lumenfold PRIVATE lumenfold_platform)
lumenfold_windows_defaults(lumenfold)
lumenfold_compiler_stack(lumenfold)
lumenfold_warnings(lumenfold)
if(MSVC)
  # A GUI subsystem program that still starts at main(argc, argv).
  target_link_options(lumenfold PRIVATE /ENTRY:mainCRTStartup)
endif()

# The render tool: a console program on the same core and context creation.
add_executable(lumenfold_render render_tool/render_main.cpp render_tool/compiler_stack_win32.cpp
  desktop/platform_win32.cpp)
lumenfold_compiler_stack(lumenfold_render)
set_target_properties(lumenfold_render PROPERTIES OUTPUT_NAME lumenfold-render)
target_link_libraries(lumenfold_render PRIVATE lumenfold_platform)
lumenfold_windows_defaults(lumenfold_render)
lumenfold_warnings(lumenfold_render)

# The importer: a console program that needs no GL.
add_executable(lumenfold_import import_tool/import_main.cpp desktop/platform_win32.cpp)
set_target_properties(lumenfold_import PROPERTIES OUTPUT_NAME lumenfold-import)
target_link_libraries(lumenfold_import PRIVATE lumenfold_platform)
lumenfold_windows_defaults(lumenfold_import)
lumenfold_warnings(lumenfold_import)

# Figures of the player's loop under Wine; scripts/bench runs it.
add_executable(lumenfold_frame_cap_benchmark tools/benchmarks/frame_cap_benchmark.cpp desktop/platform_win32.cpp)
target_link_libraries(lumenfold_frame_cap_benchmark PRIVATE lumenfold_platform)
lumenfold_windows_defaults(lumenfold_frame_cap_benchmark)
lumenfold_warnings(lumenfold_frame_cap_benchmark)

include(cmake/windows_tests.cmake)
