#!/usr/bin/env bash
# Checks that check-floors.sh names an include that climbs and one that goes
# sideways, on a small tree of its own, and passes a tree that keeps the floors.
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TREE=$(mktemp -d)
trap 'rm -rf "$TREE"' EXIT
mkdir -p "$TREE/comm" "$TREE/files" "$TREE/lut"
printf '#include "comm/CRsCmd.h"\n' >"$TREE/files/Down.cpp"
bash "$HERE/check-floors.sh" "$TREE" >/dev/null || { echo "an include going down was refused"; exit 1; }
printf '#include <vector>\n#include "files/GammaFile.h"\n' >"$TREE/comm/Up.cpp"
printf '  #  include "params/CtrlTbl.h"\n' >"$TREE/lut/Beside.h"
output=$(bash "$HERE/check-floors.sh" "$TREE")
status=$?
[ "$status" -eq 1 ] || { echo "a climbing include must fail the check, got $status"; exit 1; }
grep -qF "$TREE/comm/Up.cpp:2: comm (floor 1) climbs to files (floor 3)" <<<"$output" ||
  { echo "the climb was not named:"; echo "$output"; exit 1; }
grep -qF "$TREE/lut/Beside.h:1: lut goes sideways to params" <<<"$output" ||
  { echo "the sideways include was not named:"; echo "$output"; exit 1; }
echo "climbing and sideways includes named"
