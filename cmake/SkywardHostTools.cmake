# The Windows build runs build-time tools (the archive tool that packs pages/). They are built here with
# the machine's own compiler, in a tree of their own inside this build tree.
include(ExternalProject)

set(SKYWARD_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(SKYWARD_ARCHIVE_TOOL ${SKYWARD_HOST_TOOLS_DIR}/tools/archive/skyward-archive)

ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${SKYWARD_HOST_TOOLS_DIR}
  CMAKE_ARGS
    -DSKYWARD_TOOLS_ONLY=ON
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_C_COMPILER=cc
    -DCMAKE_CXX_COMPILER=c++
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target skyward-archive
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${SKYWARD_ARCHIVE_TOOL}
)
