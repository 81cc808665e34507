#!/bin/bash
# Benchmarks the program's window in an optimised Windows build: start-up to the painted first page
# against an empty Win32 window (both started the same way under the same Wine), page changes, and how
# soon the page previewer shows a saved page.
# Uses the current X display, or a virtual Xvfb display when there is none.
# usage: scripts/bench-window.sh [runs]     (default 10)
set -euo pipefail
. "$(dirname "$0")/common.sh"
TARGET=win32
DIR=$BUILD_ROOT/$TARGET-release

"$SOURCE_ROOT/scripts/install-packages.sh"
"$SOURCE_ROOT/scripts/build-deps.sh" "$TARGET"
cmake -S "$SOURCE_ROOT" -B "$DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$SOURCE_ROOT/cmake/toolchain-$(triple_of "$TARGET").cmake" >/dev/null
cmake --build "$DIR" --target SkywardOrder empty_window page_change_bench SkywardPreview
[ -n "${DISPLAY:-}" ] || start_xvfb
"$SOURCE_ROOT/scripts/setup-wine.sh" "$TARGET"
export WINEPREFIX=$(wine_prefix_of "$TARGET")
status=0
/usr/bin/python3 "$SOURCE_ROOT/tools/window_bench/startup_bench.py" "$DIR/app/SkywardOrder.exe" \
  "$DIR/tools/window_bench/empty_window.exe" "$DIR/tools/window_bench/page_change_bench.exe" "${1:-10}" || status=$?
/usr/bin/python3 "$SOURCE_ROOT/tools/window_bench/preview_reload_bench.py" "$DIR/tools/preview/SkywardPreview.exe" \
  "$(( ${1:-10} * 2 ))" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
