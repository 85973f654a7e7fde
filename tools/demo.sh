#!/usr/bin/env bash
# Set-up, build, then the main job: the virtual camera on a pseudo-terminal,
# read and changed with kavro-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${KAVRO_BUILD_ROOT:-$(pwd)/build-demo}

bash tools/setup-debian.sh
cmake -S . -B "$OUT" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRO_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$OUT" -j2 --target kavro-cli kavro-camsim

CAMSIM="$OUT/tools/camsim/kavro-camsim"
CLI="$OUT/src/cli/kavro-cli"
FIFO=$(mktemp -u)
mkfifo "$FIFO"
"$CAMSIM" >"$FIFO" &
CAMSIM_PID=$!
trap 'kill $CAMSIM_PID 2>/dev/null; wait $CAMSIM_PID 2>/dev/null; rm -f "$FIFO"' EXIT
read -r DEVICE <"$FIFO"
echo "virtual camera on $DEVICE"

for name in VN MD EA GA SM TR; do
  printf '%-4s %s\n' "$name" "$("$CLI" --port "$DEVICE" --baud 115200 query "$name")"
done
"$CLI" --port "$DEVICE" --baud 115200 set GA 100
echo "GA   $("$CLI" --port "$DEVICE" --baud 115200 query GA) (after set GA 100)"
