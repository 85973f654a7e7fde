#!/usr/bin/env bash
# Runs every fuzzer for SECONDS seconds: fuzz/run.sh BUILD_DIR [SECONDS]
# An input that crashes a fuzzer is kept in BUILD_DIR/fuzz-crashes/<fuzzer>/ and its path printed.
set -euo pipefail
BUILD=${1:?build folder configured with -DKAVRO_FUZZ=ON}
SECONDS_EACH=${2:-5}
FUZZERS=${KAVRO_FUZZERS:-fuzz_parse_command fuzz_decode_reply fuzz_line_assembler fuzz_gamma_file fuzz_settings_line fuzz_network_port}
HERE=$(cd "$(dirname "$0")" && pwd)
CRASHES=$(cd "$BUILD" && pwd)/fuzz-crashes
[ -n "${KAVRO_FUZZ_NO_BUILD:-}" ] || cmake --build "$BUILD" -j2 --target fuzzers
for fuzzer in $FUZZERS; do
  corpus=$(mktemp -d)
  log=$(mktemp)
  kept="$CRASHES/$fuzzer"
  mkdir -p "$kept"
  cp "$HERE"/corpus/* "$corpus"/ 2>/dev/null || true
  echo "== $fuzzer for ${SECONDS_EACH}s"
  status=0
  "$BUILD/fuzz/$fuzzer" -max_total_time="$SECONDS_EACH" -max_len=2048 -artifact_prefix="$corpus/" \
    "$corpus" >"$log" 2>&1 || status=$?
  grep -E "^(Done|==[0-9]+==ERROR|SUMMARY)" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    # The artifacts lie in the corpus folder, which goes next: keep them first.
    for artifact in "$corpus"/crash-* "$corpus"/leak-* "$corpus"/timeout-* "$corpus"/oom-*; do
      [ -e "$artifact" ] || continue
      cp "$artifact" "$kept/"
      echo "crashing input kept: $kept/$(basename "$artifact")"
    done
    rm -rf "$corpus" "$log"
    exit "$status"
  fi
  rm -rf "$corpus" "$log"
done
