#!/usr/bin/env bash
# Checks that fuzz/run.sh keeps the input that crashed a fuzzer: a stand-in
# fuzzer "finds" a crash, and its input must survive the cleaning up.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(mktemp -d)
trap 'rm -rf "$BUILD"' EXIT
mkdir -p "$BUILD/fuzz"
cat >"$BUILD/fuzz/fuzz_standin" <<'STANDIN'
#!/bin/sh
for a in "$@"; do case "$a" in -artifact_prefix=*) prefix=${a#-artifact_prefix=};; esac; done
printf 'crashing input' >"${prefix}crash-0001"
exit 77
STANDIN
chmod +x "$BUILD/fuzz/fuzz_standin"
output=$(KAVRO_FUZZ_NO_BUILD=1 KAVRO_FUZZERS=fuzz_standin bash "$HERE/run.sh" "$BUILD" 1 2>&1)
status=$?
kept="$BUILD/fuzz-crashes/fuzz_standin/crash-0001"
[ "$status" -eq 77 ] || { echo "run.sh must fail with the fuzzer's status, got $status"; exit 1; }
[ "$(cat "$kept" 2>/dev/null)" = "crashing input" ] || { echo "the crashing input was not kept:"; echo "$output"; exit 1; }
grep -qF "crashing input kept: $kept" <<<"$output" || { echo "its path was not printed:"; echo "$output"; exit 1; }
echo "crashing input kept and named"
