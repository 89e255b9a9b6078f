# Cross-compiles the Windows flavour on Linux with MinGW-w64. The posix
# thread model is the one whose C++ runtime links statically without
# surprises, so the executable needs no DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMENFOLD_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMENFOLD_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMENFOLD_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMENFOLD_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMENFOLD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
