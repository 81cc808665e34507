# Cross-compiling for Windows with Debian's MinGW-w64; included by the per-target toolchain files after
# they set SKYWARD_TRIPLE and SKYWARD_WINE_TARGET. The -posix compilers are required: the -win32 thread
# model of GCC 12 has no std::thread or std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${SKYWARD_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKYWARD_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${SKYWARD_TRIPLE}-windres)
set(CMAKE_AR     /usr/bin/${SKYWARD_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${SKYWARD_TRIPLE}-ranlib CACHE FILEPATH "")

# Static libpng and libjpeg-turbo built by scripts/build-deps.sh.
get_filename_component(_skyward_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(DEFINED ENV{SKYWARD_BUILD})
  set(SKYWARD_DEPS_PREFIX "$ENV{SKYWARD_BUILD}/deps/${SKYWARD_TRIPLE}")
else()
  set(SKYWARD_DEPS_PREFIX "${_skyward_root}/build/deps/${SKYWARD_TRIPLE}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${SKYWARD_TRIPLE} ${SKYWARD_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the Windows test programs under Wine, in the project's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_skyward_root}/scripts/wine-exec.sh;${SKYWARD_WINE_TARGET}")
