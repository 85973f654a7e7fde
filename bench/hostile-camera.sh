#!/bin/sh
# Time limits against a camera that misbehaves, measured on the real programs.
#   bench/hostile-camera.sh stream  [BUILD] [RUNS]  longest wait of `kavro-cli --timeout 1000 query GA`
#                                                   against notices and a line that never end
#   bench/hostile-camera.sh sigterm [BUILD] [RUNS]  SIGTERM to exit during a factory-level start-up
#                                                   reading of a camera that answers after 300 ms
set -eu
mode=${1:?stream or sigterm}
build=${2:-build}
runs=${3:-5}
camsim="$build/tools/camsim/kavro-camsim"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Starts the virtual camera with the given options; sets $camera_pid and $device.
start_camera() {
    "$camsim" "$@" >"$work/device" &
    camera_pid=$!
    while [ ! -s "$work/device" ]; do sleep 0.01; done
    device=$(head -n 1 "$work/device")
}

stop_camera() {
    kill "$camera_pid"
    wait "$camera_pid" || true
    : >"$work/device"
}

longest_query() {
    worst=0
    for _ in $(seq "$runs"); do
        start_camera "$1"
        start=$(now_ms)
        "$build/src/cli/kavro-cli" --port "$device" --timeout 1000 query GA >/dev/null 2>&1 || true
        took=$(( $(now_ms) - start ))
        [ "$took" -gt "$worst" ] && worst=$took
        stop_camera
    done
    echo "$1: longest of $runs runs $worst ms"
}

stop_during_reading() {
    worst=0
    config="$work/config"
    mkdir -p "$config/QEL Corporation"
    for _ in $(seq "$runs"); do
        start_camera --delay 300
        printf '[General]\nCOM1=%s\nComm%%20Port=0\nActive%%20Mode=FACTORY\nNormal%%20Shutdown=1\n' "$device" \
            >"$config/QEL Corporation/MX-330_550CL Camera Kavro.ini"
        QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config" "$build/src/app/kavro" 2>/dev/null &
        tool=$!
        sleep 3   # the reading of some 340 rows has begun and has more than a minute to go
        start=$(now_ms)
        kill -TERM "$tool"
        wait "$tool" || true
        took=$(( $(now_ms) - start ))
        [ "$took" -gt "$worst" ] && worst=$took
        stop_camera
    done
    echo "SIGTERM to exit: longest of $runs runs $worst ms"
}

case "$mode" in
stream)
    longest_query --stream-notices
    longest_query --stream-line
    ;;
sigterm)
    stop_during_reading
    ;;
*)
    echo "usage: $0 stream|sigterm [BUILD] [RUNS]" >&2
    exit 2
    ;;
esac
