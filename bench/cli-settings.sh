#!/usr/bin/env bash
# Times kavro-cli read-settings --factory, apply-settings --factory and diff --factory (344
# lines each) against kavro-camsim at 115200 baud: bench/cli-settings.sh BUILD_DIR
set -euo pipefail
BUILD=${1:?build folder}
work=$(mktemp -d)
trap 'kill "$camsim" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
"$BUILD/tools/camsim/kavro-camsim" --baud 115200 >"$work/device" &
camsim=$!
for _ in $(seq 100); do [ -s "$work/device" ] && break; sleep 0.05; done
device=$(head -n 1 "$work/device")
export XDG_CONFIG_HOME="$work"
cli() { "$BUILD/src/cli/kavro-cli" --port "$device" --baud 115200 "$@"; }
budget=$(echo "1.10 * 344 * 0.020" | bc -l)
for verb in read-settings apply-settings diff; do
  start=$(date +%s.%N)
  cli "$verb" "$work/factory.cam" --factory
  end=$(date +%s.%N)
  printf '%s --factory: %.3f s (budget %.3f s)\n' "$verb" "$(echo "$end - $start" | bc -l)" "$budget"
done
