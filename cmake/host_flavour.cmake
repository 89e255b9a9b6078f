# The platform-neutral core on the build machine, with its tests under
# AddressSanitizer and UndefinedBehaviorSanitizer against a real GL context.
find_package(GLEW REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
find_package(GTest REQUIRED)
include(GoogleTest)

set(LUMENFOLD_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

function(lumenfold_sanitize target)
  target_compile_options(${target} PRIVATE ${LUMENFOLD_SANITIZERS})
  target_link_options(${target} PRIVATE ${LUMENFOLD_SANITIZERS})
endfunction()

lumenfold_core_library(lumenfold_core app/debugger_output_host.cpp)
target_link_libraries(lumenfold_core PUBLIC GLEW::GLEW OpenGL::OpenGL)
lumenfold_sanitize(lumenfold_core)

include(cmake/host_tests.cmake)

# Generators of the committed images and icon; they need libpng and libjpeg.
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
  add_subdirectory(tools)
endif()
