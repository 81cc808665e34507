#!/bin/bash
# Builds one libFuzzer target with clang, AddressSanitizer and UndefinedBehaviorSanitizer (build/fuzz)
# and runs it for the given number of seconds. The corpus is kept in build/fuzz/corpus/<target> and is
# seeded with the project's page files; a crashing input is written to build/fuzz/findings.
# usage: scripts/fuzz.sh markup_parser_fuzz|value_table_reader_fuzz|image_read_fuzz seconds [libFuzzer options]
set -euo pipefail
. "$(dirname "$0")/common.sh"
TARGET=${1:?usage: fuzz.sh target seconds}
SECONDS_TO_RUN=${2:?usage: fuzz.sh target seconds}
shift 2
"$SOURCE_ROOT/scripts/install-packages.sh"
DIR=$BUILD_ROOT/fuzz
CC=clang CXX=clang++ cmake -S "$SOURCE_ROOT" -B "$DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKYWARD_FUZZ=ON >/dev/null
cmake --build "$DIR" --target "$TARGET"
CORPUS=$DIR/corpus/$TARGET
mkdir -p "$CORPUS" "$DIR/findings"
if [ -z "$(ls -A "$CORPUS")" ] && [ "$TARGET" = markup_parser_fuzz ]; then
  for page in "$SOURCE_ROOT"/pages/*.iml; do [ -f "$page" ] && cp "$page" "$CORPUS/"; done
fi
if [ -z "$(ls -A "$CORPUS")" ] && [ "$TARGET" = image_read_fuzz ]; then
  for picture in "$SOURCE_ROOT"/pages/*.gif "$SOURCE_ROOT"/pages/*.png "$SOURCE_ROOT"/tools/fuzz/seeds/*/*; do
    [ -f "$picture" ] && cp "$picture" "$CORPUS/"
  done
fi
# The readers of single formats: small pictures of that format in many variants.
SEEDS=$SOURCE_ROOT/tools/fuzz/seeds/${TARGET%_read_fuzz}
if [ -z "$(ls -A "$CORPUS")" ] && [ "$TARGET" != image_read_fuzz ] && [ -d "$SEEDS" ]; then cp "$SEEDS"/* "$CORPUS/"; fi
log "fuzzing $TARGET for $SECONDS_TO_RUN s"
"$DIR/tools/fuzz/$TARGET" "$CORPUS" -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 \
  -artifact_prefix="$DIR/findings/" -rss_limit_mb=2048 "$@"
