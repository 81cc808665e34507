#!/bin/bash
# Builds the native benchmarks optimised and without sanitizers, and runs them.
# usage: scripts/bench.sh [benchmark-program...] [-- google-benchmark options]
# smtp_bench (the mail sender under Wine against smtplib) runs only when named.
set -euo pipefail
. "$(dirname "$0")/common.sh"
"$SOURCE_ROOT/scripts/install-packages.sh"
cmake -S "$SOURCE_ROOT" -B "$BUILD_ROOT/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_ROOT/bench"
programs=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do programs+=("$1"); shift; done
[ "${1:-}" = -- ] && shift
[ ${#programs[@]} -gt 0 ] || mapfile -t programs < <(cd "$BUILD_ROOT/bench/tools/bench" && ls *_bench)
for program in "${programs[@]}"; do
  if [ "$program" = smtp_bench ]; then "$SOURCE_ROOT/scripts/smtp-bench.sh"; continue; fi
  "$BUILD_ROOT/bench/tools/bench/$program" "$@"
done
