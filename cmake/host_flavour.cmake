# The platform-neutral core on the build machine, with its tests under
# AddressSanitizer and UndefinedBehaviorSanitizer against a real GL context.
find_package(GLEW REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
find_package(GTest REQUIRED)

option(LUMENFOLD_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
set(LUMENFOLD_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

function(lumenfold_sanitize target)
  if(LUMENFOLD_SANITIZE)
    target_compile_options(${target} PRIVATE ${LUMENFOLD_SANITIZERS})
    target_link_options(${target} PRIVATE ${LUMENFOLD_SANITIZERS})
  endif()
endfunction()

lumenfold_core_library(lumenfold_core base/command_line_posix.cpp base/debugger_output_host.cpp
  base/compiler_thread_posix.cpp base/file_access_posix.cpp base/folder_listing_posix.cpp
  desktop/monitors_posix.cpp gl/build_context_egl.cpp)
find_package(Threads REQUIRED)
target_link_libraries(lumenfold_core PUBLIC GLEW::GLEW OpenGL::OpenGL OpenGL::EGL Threads::Threads)
lumenfold_sanitize(lumenfold_core)

# The headless context every program without a window draws on.
add_library(lumenfold_headless STATIC gl/headless_context_egl.cpp)
target_link_libraries(lumenfold_headless PUBLIC lumenfold_core OpenGL::EGL)
lumenfold_sanitize(lumenfold_headless)
lumenfold_warnings(lumenfold_headless)

include(cmake/host_tests.cmake)

# Figures for the core on this machine's GL; scripts/bench runs it from an
# unsanitized build.
add_executable(lumenfold_benchmark
  tools/benchmarks/lumenfold_benchmark.cpp
  tests/support/gl_test_context.cpp
  desktop/platform_posix.cpp
)
target_link_libraries(lumenfold_benchmark PRIVATE lumenfold_headless)
# Counts what our own code allocates, not what the driver does.
target_link_options(lumenfold_benchmark PRIVATE -Wl,--wrap=malloc,--wrap=calloc,--wrap=realloc)
lumenfold_sanitize(lumenfold_benchmark)
lumenfold_warnings(lumenfold_benchmark)

# Generators of the committed images and icon; they need libpng and libjpeg.
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
  add_subdirectory(tools)
endif()

# The render tool. Sanitized, it needs the tests' leak suppressions: Mesa
# keeps its allocations until the process ends.
add_executable(lumenfold_render render_tool/render_main.cpp render_tool/compiler_stack_posix.cpp
  desktop/platform_posix.cpp)
set_target_properties(lumenfold_render PROPERTIES OUTPUT_NAME lumenfold-render)
target_link_libraries(lumenfold_render PRIVATE lumenfold_headless)
if(LUMENFOLD_SANITIZE)
  target_sources(lumenfold_render PRIVATE tests/support/sanitizer_defaults.cpp)
endif()
lumenfold_sanitize(lumenfold_render)
lumenfold_warnings(lumenfold_render)

# The importer needs no GL: it writes a pass set from a shader site's export.
add_executable(lumenfold_import import_tool/import_main.cpp desktop/platform_posix.cpp)
set_target_properties(lumenfold_import PROPERTIES OUTPUT_NAME lumenfold-import)
target_link_libraries(lumenfold_import PRIVATE lumenfold_core)
if(LUMENFOLD_SANITIZE)
  target_sources(lumenfold_import PRIVATE tests/support/sanitizer_defaults.cpp)
endif()
lumenfold_sanitize(lumenfold_import)
lumenfold_warnings(lumenfold_import)
