# stb_image comes from the system: Debian's libstb-dev on Linux (only its own
# folder goes on the include path, also for cross builds), vcpkg or MSYS2 on
# Windows.
set(LUMENFOLD_STB_INCLUDE_DIR "" CACHE PATH "Folder holding stb_image.h")
if(NOT LUMENFOLD_STB_INCLUDE_DIR)
  find_path(LUMENFOLD_STB_FOUND_DIR stb_image.h PATH_SUFFIXES stb NO_CMAKE_FIND_ROOT_PATH)
  if(NOT LUMENFOLD_STB_FOUND_DIR)
    message(FATAL_ERROR "stb_image.h not found; install libstb-dev or set LUMENFOLD_STB_INCLUDE_DIR")
  endif()
  set(LUMENFOLD_STB_INCLUDE_DIR ${LUMENFOLD_STB_FOUND_DIR} CACHE PATH "Folder holding stb_image.h" FORCE)
endif()
