# 64-bit Windows: the fast local path, run by wine64 without 32-bit emulation.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(SKYWARD_TRIPLE x86_64-w64-mingw32)
set(SKYWARD_WINE_TARGET win64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
