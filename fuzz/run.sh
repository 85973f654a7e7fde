#!/usr/bin/env bash
# Runs every fuzzer for SECONDS seconds: fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail
BUILD=${1:?build folder configured with -DKAVRO_FUZZ=ON}
SECONDS_EACH=${2:-5}
HERE=$(cd "$(dirname "$0")" && pwd)
cmake --build "$BUILD" -j2 --target fuzzers
for fuzzer in fuzz_parse_command fuzz_decode_reply fuzz_line_assembler fuzz_gamma_file; do
  corpus=$(mktemp -d)
  log=$(mktemp)
  cp "$HERE"/corpus/* "$corpus"/ 2>/dev/null || true
  echo "== $fuzzer for ${SECONDS_EACH}s"
  status=0
  "$BUILD/fuzz/$fuzzer" -max_total_time="$SECONDS_EACH" -max_len=2048 -artifact_prefix="$corpus/" \
    "$corpus" >"$log" 2>&1 || status=$?
  grep -E "^(Done|==[0-9]+==ERROR|SUMMARY)" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    rm -rf "$corpus" "$log"
    exit "$status"
  fi
  rm -rf "$corpus" "$log"
done
