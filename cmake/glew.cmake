# GLEW for the Windows flavour. Cross builds compile it from the distribution's
# source package (scripts/setup unpacks it); native Windows builds take the
# package manager's (vcpkg or MSYS2).
set(LUMENFOLD_GLEW_SOURCE_DIR "" CACHE PATH "Unpacked GLEW source tree to build statically")

if(LUMENFOLD_GLEW_SOURCE_DIR)
  if(NOT EXISTS "${LUMENFOLD_GLEW_SOURCE_DIR}/src/glew.c")
    message(FATAL_ERROR "No GLEW source at ${LUMENFOLD_GLEW_SOURCE_DIR}; run scripts/setup")
  endif()
  add_library(lumenfold_glew STATIC "${LUMENFOLD_GLEW_SOURCE_DIR}/src/glew.c")
  target_include_directories(lumenfold_glew SYSTEM PUBLIC "${LUMENFOLD_GLEW_SOURCE_DIR}/include")
  target_compile_definitions(lumenfold_glew PUBLIC GLEW_STATIC GLEW_NO_GLU)
  target_link_libraries(lumenfold_glew PUBLIC opengl32)
  if(NOT MSVC)
    target_compile_options(lumenfold_glew PRIVATE -w)
  endif()
  add_library(GLEW::GLEW ALIAS lumenfold_glew)
else()
  find_package(GLEW REQUIRED)
endif()
