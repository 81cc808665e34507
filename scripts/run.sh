#!/bin/bash
# Builds the program (installing whatever is missing) and runs it under Wine, then reports its exit status.
# Uses the current X display; without one, the program runs on a virtual Xvfb display.
# usage: scripts/run.sh [win32|win64]     (default win32, the product)
set -euo pipefail
. "$(dirname "$0")/common.sh"
TARGET=${1:-win32}
TRIPLE=$(triple_of "$TARGET")

"$SOURCE_ROOT/scripts/install-packages.sh"
"$SOURCE_ROOT/scripts/build-deps.sh" "$TARGET"
cmake -S "$SOURCE_ROOT" -B "$BUILD_ROOT/$TARGET" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$SOURCE_ROOT/cmake/toolchain-$TRIPLE.cmake" >/dev/null
cmake --build "$BUILD_ROOT/$TARGET" --target SkywardOrder
"$SOURCE_ROOT/scripts/setup-wine.sh" "$TARGET" --no-server

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  log "no X display: running on the virtual display $DISPLAY"
fi

# Run through cmd so that the whole 32-bit status arrives, not only its low byte; /b keeps the
# program on this output, where it reports what it does.
cd "$BUILD_ROOT/$TARGET/app"
output=$("$SOURCE_ROOT/scripts/wine-exec.sh" "$TARGET" cmd /v:on /c 'start /b /wait SkywardOrder.exe & echo !errorlevel!' \
  2>&1 | tr -d '\r')
status=$(printf '%s\n' "$output" | tail -n 1)
printf '%s\n' "$output" | head -n -1
if ! [[ "$status" =~ ^-?[0-9]+$ ]]; then
  log "SkywardOrder.exe did not run: $output"
  exit 1
fi
log "SkywardOrder.exe ended with status $status"
[ "$status" = 0 ]
