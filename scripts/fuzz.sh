#!/bin/bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer (build/fuzz)
# and runs one of them, or every one in turn ("all"), for the given number of seconds each. A corpus is
# kept per target in build/fuzz/corpus/<target> and seeded from the project's own files while it is
# empty; tools/fuzz/<target>.dict is the target's dictionary when there is one. An input that crashes,
# leaks or hangs is written to build/fuzz/findings/<target>/: once its fault is fixed, keep it in
# tests/fuzz/<target>/, where the test build replays it. Ends with a table of the executions, the edges
# covered and the findings of each run; the status is 1 when anything was found.
# usage: scripts/fuzz.sh TARGET|all SECONDS [libFuzzer options, e.g. -runs=10000000]
set -euo pipefail
. "$(dirname "$0")/common.sh"
WHICH=${1:?usage: fuzz.sh TARGET\|all SECONDS [libFuzzer options]}
SECONDS_EACH=${2:?usage: fuzz.sh TARGET\|all SECONDS [libFuzzer options]}
shift 2
"$SOURCE_ROOT/scripts/install-packages.sh"
DIR=$BUILD_ROOT/fuzz
FUZZ_SOURCES=$SOURCE_ROOT/tools/fuzz

# Every target of tools/fuzz/CMakeLists.txt, one per skyward_fuzz_target line.
ALL_TARGETS=($(sed -n 's/^skyward_fuzz_target(\([a-z0-9_]*\).*/\1/p' "$FUZZ_SOURCES/CMakeLists.txt"))
if [ "$WHICH" = all ]; then TARGETS=("${ALL_TARGETS[@]}"); else TARGETS=("$WHICH"); fi

CC=clang CXX=clang++ cmake -S "$SOURCE_ROOT" -B "$DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKYWARD_FUZZ=ON >/dev/null
cmake --build "$DIR" --target "${TARGETS[@]}" skyward-archive

# Copies the files given into the corpus folder.
seed_files() { local corpus=$1 file; shift; for file in "$@"; do [ -f "$file" ] && cp "$file" "$corpus/"; done; return 0; }

# First inputs of each target, from the project's own files.
seed() {
  local target=$1 corpus=$2 work
  case "$target" in
    markup_parser_fuzz) seed_files "$corpus" "$SOURCE_ROOT"/pages/*.iml ;;
    image_read_fuzz) seed_files "$corpus" "$SOURCE_ROOT"/pages/*.gif "$SOURCE_ROOT"/pages/*.png "$FUZZ_SOURCES"/seeds/*/* ;;
    # The readers of single formats: small pictures of that format in many variants.
    bmp_read_fuzz | jpeg_read_fuzz | targa_read_fuzz | pict_read_fuzz | pattern_read_fuzz)
      seed_files "$corpus" "$FUZZ_SOURCES/seeds/${target%_read_fuzz}"/* ;;
    archive_fuzz | path_fuzz)
      # The page archive and a small one that holds it, both packed by the archive tool.
      work=$(mktemp -d)
      "$DIR/tools/archive/skyward-archive" create "$SOURCE_ROOT/pages" "$corpus/pages.chnk" >/dev/null
      mkdir "$work/small" && printf 'one line\n' >"$work/small/a.txt" && cp "$SOURCE_ROOT/pages/logo.gif" "$work/small/"
      cp "$corpus/pages.chnk" "$work/small/pages.chnk"
      "$DIR/tools/archive/skyward-archive" create "$work/small" "$corpus/small.chnk" >/dev/null
      rm -rf "$work"
      if [ "$target" = path_fuzz ]; then  # a path text, a NUL, then the archive to mount
        for archive in "$corpus"/*.chnk; do printf 'classic.iml\0' | cat - "$archive" >"$archive.path"; rm "$archive"; done
        seed_files "$corpus" "$FUZZ_SOURCES"/path_fuzz_seeds/*
      fi ;;
    codec_fuzz)
      # The first byte picks the codec: 0 zlib, 1 "pack", 2 "PACK"; the pages compressed and plain.
      python3 - "$corpus" "$SOURCE_ROOT"/pages/* <<'EOF'
import sys, zlib, os
corpus = sys.argv[1]
for path in sys.argv[2:]:
    data = open(path, 'rb').read()[:4000]
    name = os.path.basename(path)
    open(os.path.join(corpus, name + '.zlib'), 'wb').write(b'\0' + zlib.compress(data))
    open(os.path.join(corpus, name + '.pack'), 'wb').write(b'\1' + data)
    open(os.path.join(corpus, name + '.words'), 'wb').write(b'\2' + data)
EOF
      ;;
    page_load_fuzz)
      # The pages as they are, in UTF-16, declared in another 8-bit encoding, and with window variables
      # (one NAME=value a line after the mark): as the program sets them, one showing another and one
      # showing itself.
      python3 - "$corpus" "$SOURCE_ROOT"/pages/*.iml <<'EOF'
import sys, os
corpus = sys.argv[1]
mark = b'\0VARIABLES\0'
for path in sys.argv[2:]:
    page = open(path, 'rb').read()
    name = os.path.join(corpus, os.path.basename(path))
    open(name, 'wb').write(page)
    open(name + '.utf16', 'wb').write(b'\xff\xfe' + page.decode('latin-1').encode('utf-16-le'))
    open(name + '.mac', 'wb').write(b'<FILE ENCODING="MacRoman">\n' + page)
    open(name + '.variables', 'wb').write(page + mark + b'ERROR=-1605\nPRICE_SUMMARY=<B>3 copies or more: 10 % off</B>\n'
                                          b'PRODUCT=<PARAMETER NAME=PLATFORM>Skyward</PARAMETER> Deluxe\n'
                                          b'PLATFORM=<PARAMETER NAME=PLATFORM>Windows</PARAMETER>, again\n')
EOF
      ;;
    smtp_reply_fuzz)  # the first byte picks how lines are cut: 0 as the line stream does, 1 after each LF
      for dialogue in "$FUZZ_SOURCES"/smtp_dialogues/*; do
        printf '\0' | cat - "$dialogue" >"$corpus/$(basename "$dialogue").stream"
        printf '\1' | cat - "$dialogue" >"$corpus/$(basename "$dialogue").lines"
      done ;;
    smtp_text_fuzz) seed_files "$corpus" "$FUZZ_SOURCES"/smtp_bodies/* ;;
    host_text_fuzz) seed_files "$corpus" "$FUZZ_SOURCES"/host_text_fuzz_seeds/* ;;
    record_cutter_fuzz)
      # Mode, capacity, splitter byte, refusals, chunk sizes, then the dialogues as each mode frames them.
      python3 - "$corpus" "$FUZZ_SOURCES"/smtp_dialogues/* <<'EOF'
import sys, os, struct
corpus = sys.argv[1]
for path in sys.argv[2:]:
    data = open(path, 'rb').read()
    lines = data.splitlines(keepends=True)
    framed = {3: b''.join(struct.pack('<I', len(l) + 4) + l for l in lines),
              5: b''.join(bytes([min(len(l) + 1, 255)]) + l[:254] for l in lines)}
    for mode in range(6):
        header = bytes([mode, 0xF0 if mode != 2 else 16, ord('\n'), mode % 3, 2, 1, 7, 40])
        name = '%s.mode%d' % (os.path.basename(path), mode)
        open(os.path.join(corpus, name), 'wb').write(header + framed.get(mode, data))
EOF
      ;;
  esac
}

# The last value libFuzzer printed for a field such as "cov:" or "stat::number_of_executed_units:".
last_value() { grep -o "$1 *[0-9]*" "$2" | tail -1 | grep -o '[0-9]*$' || echo '?'; }

mkdir -p "$DIR/logs"
REPORT=()
found_any=0
for target in "${TARGETS[@]}"; do
  corpus=$DIR/corpus/$target findings=$DIR/findings/$target log=$DIR/logs/$target.log
  mkdir -p "$corpus" "$findings"
  [ -n "$(ls -A "$corpus")" ] || seed "$target" "$corpus"
  dictionary=()
  [ -f "$FUZZ_SOURCES/$target.dict" ] && dictionary=(-dict="$FUZZ_SOURCES/$target.dict")
  before=$(ls "$findings" | wc -l)
  log "fuzzing $target for $SECONDS_EACH s (log: $log)"
  status=0
  "$DIR/tools/fuzz/$target" "$corpus" "${dictionary[@]}" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
    -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$findings/" "$@" >"$log" 2>&1 || status=$?
  found=$(( $(ls "$findings" | wc -l) - before ))
  [ "$status" -eq 0 ] || [ "$found" -gt 0 ] || found=1  # stopped by something that left no input
  [ "$found" -eq 0 ] || { found_any=1; tail -n 30 "$log" >&2; }
  REPORT+=("$(printf '%-26s %8s %12s %8s %9s' "$target" "$(last_value 'stat::average_exec_per_sec:' "$log")" \
    "$(last_value 'stat::number_of_executed_units:' "$log")" "$(last_value 'cov:' "$log")" "$found")")
done
printf '%-26s %8s %12s %8s %9s\n' target 'exec/s' executions edges findings
printf '%s\n' "${REPORT[@]}"
exit $found_any
