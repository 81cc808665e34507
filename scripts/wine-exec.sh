#!/bin/bash
# Runs a Windows program under Wine in the project's prefix (CTest's cross-compiling emulator).
# usage: wine-exec.sh win32|win64 program.exe [arguments...]
. "$(dirname "$0")/common.sh"
target=$1; shift
export WINEPREFIX=${WINEPREFIX:-$(wine_prefix_of "$target")}
if [ "$target" = win64 ]; then
  # With wine32 installed, /usr/bin/wine prefers the 32-bit loader; 64-bit code runs on wine64 directly.
  export WINELOADER=/usr/lib/wine/wine64
  exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
