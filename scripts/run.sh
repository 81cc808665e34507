#!/bin/bash
# Builds the program (installing whatever is missing) and runs it under Wine, then reports its exit status.
# On the current X display the window stays until the user closes it. Without a display the program runs
# on a virtual Xvfb display: a screenshot of its first page is saved and its path printed, then the
# window is closed as with its close box.
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
PROGRAM=$BUILD_ROOT/$TARGET/app/SkywardOrder.exe

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  log "no X display: running on the virtual display $DISPLAY"
  export SKYWARD_WINE_TARGET=$TARGET
  status=0
  /usr/bin/python3 "$SOURCE_ROOT/scripts/run-headless.py" "$PROGRAM" "$BUILD_ROOT/$TARGET/screenshots/first-page.png" \
    || status=$?
  WINEPREFIX=$(wine_prefix_of "$TARGET") wineserver -k >/dev/null 2>&1 || true
  exit $status
fi

# The program reports its whole status on standard output (the shell sees only its low byte).
cd "$BUILD_ROOT/$TARGET/app"
output=$("$SOURCE_ROOT/scripts/wine-exec.sh" "$TARGET" SkywardOrder.exe 2>&1 | tr -d '\r')
printf '%s\n' "$output" | grep -v '^SkywardOrder status ' || true
status=$(printf '%s\n' "$output" | sed -n 's/^SkywardOrder status \(-\{0,1\}[0-9]*\)$/\1/p' | tail -n 1)
if [ -z "$status" ]; then
  log "SkywardOrder.exe did not run: $output"
  exit 1
fi
log "SkywardOrder.exe ended with status $status"
[ "$status" = 0 ]
