#!/bin/bash
# Builds and runs every test: the native build (AddressSanitizer and UndefinedBehaviorSanitizer) and the
# Windows build under Wine, with Xvfb as the display. Installs whatever is missing first.
# usage: scripts/test.sh [host] [win32] [win64]     (default: host win32)
set -uo pipefail
. "$(dirname "$0")/common.sh"
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(host win32)
JOBS=$(nproc)

"$SOURCE_ROOT/scripts/install-packages.sh" || exit 1

build() {  # target -> 0 when configured and built
  local target=$1 dir=$BUILD_ROOT/$1
  if [ "$target" = host ]; then
    cmake -S "$SOURCE_ROOT" -B "$dir" -G Ninja -DSKYWARD_SANITIZE=ON >/dev/null || return 1
  else
    "$SOURCE_ROOT/scripts/build-deps.sh" "$target" || return 1
    cmake -S "$SOURCE_ROOT" -B "$dir" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$SOURCE_ROOT/cmake/toolchain-$(triple_of "$target").cmake" >/dev/null || return 1
  fi
  log "building $target"
  cmake --build "$dir" -j "$JOBS" | grep -v '^\[' ; return "${PIPESTATUS[0]}"
}

failed=0
started_x=0
for target in "${TARGETS[@]}"; do
  if ! build "$target"; then
    log "the $target build failed"
    failed=1
    continue
  fi
  if [ "$target" != host ]; then
    # The display first: the Wine processes that setup-wine.sh starts keep the display they were given.
    [ $started_x = 1 ] || { start_xvfb; started_x=1; }
    "$SOURCE_ROOT/scripts/setup-wine.sh" "$target" || { failed=1; continue; }
    export WINEPREFIX=$(wine_prefix_of "$target")
  fi
  log "testing $target"
  ctest --test-dir "$BUILD_ROOT/$target" -j "$JOBS" --output-on-failure || failed=1
  if [ "$target" != host ]; then wineserver -k >/dev/null 2>&1; unset WINEPREFIX; fi
done
exit $failed
