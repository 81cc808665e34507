# The product: 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(SKYWARD_TRIPLE i686-w64-mingw32)
set(SKYWARD_WINE_TARGET win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
