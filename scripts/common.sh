# Shared settings of the project's scripts; sourced, not run.
# Everything built or cached lives under $BUILD_ROOT (default: build/ in the source tree).
SOURCE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${SKYWARD_BUILD:-$SOURCE_ROOT/build}
DEPS_ROOT=$BUILD_ROOT/deps
export WINEDEBUG=${WINEDEBUG:--all}

# Windows targets: win32 is the product (i686), win64 the fast local path (x86_64).
triple_of() { case "$1" in win32) echo i686-w64-mingw32 ;; win64) echo x86_64-w64-mingw32 ;; *) return 1 ;; esac; }
wine_prefix_of() { echo "$BUILD_ROOT/wine/$1"; }

log() { printf '== %s\n' "$*" >&2; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Starts Xvfb on a free display and exports DISPLAY; the server ends with this shell. -noreset: by
# default the server resets whenever its last client leaves, and a test connecting at that moment
# has its connection refused.
start_xvfb() {
  local fifo display
  fifo=$(mktemp -u) && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  read -r display <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$display"
  trap 'kill $XVFB_PID 2>/dev/null' EXIT
}
