#!/bin/bash
# Cross-builds static libpng and libjpeg-turbo for one Windows target from Debian's source packages,
# into $BUILD_ROOT/deps/<triple>. Cached: a finished prefix carries a stamp and is not rebuilt.
# usage: build-deps.sh win32|win64
set -euo pipefail
. "$(dirname "$0")/common.sh"
TARGET=${1:-win32}
TRIPLE=$(triple_of "$TARGET")
PREFIX=$DEPS_ROOT/$TRIPLE
STAMP=$PREFIX/.complete
[ -f "$STAMP" ] && exit 0

# Pinned to the main archive: the security archive's source pool is not served by the mirror.
PNG_SRC=libpng1.6=1.6.39-2+deb12u5
JPEG_SRC=libjpeg-turbo=1:2.1.5-2
SRC=$DEPS_ROOT/src
mkdir -p "$SRC"
fetch() {  # package=version; falls back to the current version when the pinned one is gone
  local pkg=${1%%=*}
  ls -d "$SRC/$2"-*/ >/dev/null 2>&1 && return 0
  (cd "$SRC" && { apt-get source -q "$1" || apt-get source -q "$pkg"; } >/dev/null)
}
fetch "$PNG_SRC" libpng1.6
fetch "$JPEG_SRC" libjpeg-turbo
png_dir=$(ls -d "$SRC"/libpng1.6-*/ | head -n 1)
jpeg_dir=$(ls -d "$SRC"/libjpeg-turbo-*/ | head -n 1)

TOOLCHAIN=$SOURCE_ROOT/cmake/toolchain-$TRIPLE.cmake
WORK=$DEPS_ROOT/work-$TRIPLE
rm -rf "$WORK"
log "building libjpeg-turbo and libpng for $TRIPLE"
# No SIMD: it needs nasm and gains little for the pictures this program shows.
cmake -S "$jpeg_dir" -B "$WORK/jpeg" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF >/dev/null
cmake --build "$WORK/jpeg" >/dev/null
cmake --install "$WORK/jpeg" >/dev/null
cmake -S "$png_dir" -B "$WORK/png" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_INCLUDE_DIR=/usr/$TRIPLE/include -DZLIB_LIBRARY=/usr/$TRIPLE/lib/libz.a >/dev/null
cmake --build "$WORK/png" >/dev/null
cmake --install "$WORK/png" >/dev/null
rm -rf "$WORK"
touch "$STAMP"
