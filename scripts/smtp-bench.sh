#!/bin/bash
# Times a complete mail delivery by the product's sender (32-bit Windows build, under Wine) against
# Python's smtplib, both to one loopback aiosmtpd. Run by scripts/bench.sh smtp_bench.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$SOURCE_ROOT/scripts/install-packages.sh"
"$SOURCE_ROOT/scripts/build-deps.sh" win32
cmake -S "$SOURCE_ROOT" -B "$BUILD_ROOT/win32" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$SOURCE_ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
cmake --build "$BUILD_ROOT/win32" --target smtp_probe | grep -v '^\[' || true
start_xvfb
"$SOURCE_ROOT/scripts/setup-wine.sh" win32
export WINEPREFIX=$(wine_prefix_of win32)
status=0
# Debian's interpreter: it has python3-aiosmtpd.
/usr/bin/python3 "$SOURCE_ROOT/tools/bench/smtp_bench.py" \
  "$SOURCE_ROOT/scripts/wine-exec.sh" win32 "$BUILD_ROOT/win32/tests/app/mail/smtp_probe.exe" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
