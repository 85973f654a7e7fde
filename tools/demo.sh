#!/usr/bin/env bash
# Set-up, build, then the main job: the tool against the virtual camera.
# The virtual camera runs on a pseudo-terminal; a demo profile in a folder of
# its own maps COM1 to it (the user's own profile is never touched). Without a
# display the tool runs under Xvfb for a while and a screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=${KAVRO_BUILD_ROOT:-$(pwd)/build-demo}
SECONDS_HEADLESS=${KAVRO_DEMO_SECONDS:-20}

bash tools/setup-debian.sh
cmake -S . -B "$OUT" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRO_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$OUT" -j2 --target kavro kavro-cli kavro-camsim

DEMO=$(mktemp -d /tmp/kavro-demo-XXXXXX)
PROFILE_DIR="$DEMO/config/QEL Corporation"
mkdir -p "$PROFILE_DIR"

"$OUT/tools/camsim/kavro-camsim" --state "$DEMO/camera-state.txt" >"$DEMO/camsim.out" &
CAMSIM_PID=$!
trap 'kill $CAMSIM_PID 2>/dev/null || true; wait $CAMSIM_PID 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$DEMO/camsim.out" ] && break; sleep 0.1; done
DEVICE=$(head -n 1 "$DEMO/camsim.out")
echo "virtual camera on $DEVICE"
printf '[General]\nCOM1=%s\nNormal%%20Shutdown=1\n' "$DEVICE" >"$PROFILE_DIR/MX-330_550CL Camera Kavro.ini"
export XDG_CONFIG_HOME="$DEMO/config"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "starting Camera Kavro; close it (Esc, then Yes) to end the demo"
  "$OUT/src/app/kavro"
else
  echo "no display: Camera Kavro runs under Xvfb for ${SECONDS_HEADLESS} s"
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    "$0" & TOOL=$!
    sleep "$1"
    import -window root "$2" 2>/dev/null && echo "screenshot: $2"
    kill -TERM $TOOL; wait $TOOL' "$OUT/src/app/kavro" "$SECONDS_HEADLESS" "$DEMO/screenshot.png"
fi

echo "profile written at exit:"
sed 's/^/  /' "$PROFILE_DIR/MX-330_550CL Camera Kavro.ini"
echo "the camera's gain, read with kavro-cli: $("$OUT/src/cli/kavro-cli" --port "$DEVICE" query GA)"
