# Compiler settings shared by every target of both builds.

option(SKYWARD_SANITIZE "Build the native modules with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SKYWARD_FUZZ "Build the libFuzzer targets of tools/fuzz (clang only), with both sanitizers" OFF)

add_library(skyward_options INTERFACE)
target_include_directories(skyward_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(skyward_options INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)

if(WIN32)
  # Windows 7 and later (slim reader/writer locks, one-time initialisation). UNICODE stays undefined, so
  # the plain API names are the ANSI ("A") functions.
  target_compile_definitions(skyward_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # One self-contained .exe: without -static it needs libstdc++, libgcc and winpthread DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(SKYWARD_FUZZ)
  if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SKYWARD_FUZZ needs the native build with clang")
  endif()
  # Coverage instrumentation everywhere; the fuzz targets add libFuzzer's main when they link.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(SKYWARD_FUZZING)  # lets the code skip checks that made-up inputs cannot pass
endif()

if(SKYWARD_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# skyward_module(<name> PURE <sources...> WINDOWS <sources...> POSIX <sources...> LIBS <libraries...>)
# PURE sources build in both builds, WINDOWS sources in the Windows build only, POSIX sources in the
# native build only.
function(skyward_module name)
  cmake_parse_arguments(M "" "" "PURE;WINDOWS;POSIX;LIBS" ${ARGN})
  set(sources ${M_PURE})
  if(WIN32)
    list(APPEND sources ${M_WINDOWS})
  else()
    list(APPEND sources ${M_POSIX})
  endif()
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC skyward_options ${M_LIBS})
endfunction()
