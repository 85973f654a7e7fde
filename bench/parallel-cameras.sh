#!/usr/bin/env bash
# Many cameras at once, measured on the real programs: COUNT (16) kavro-cli
# apply-settings --factory in parallel, each on a virtual camera of its own at
# 115200 baud, against one camera alone; every camera is read back (diff) after.
#   bench/parallel-cameras.sh uart    [BUILD] [COUNT]  on pseudo-terminals, kavro-cli's tcdrain
#                                                      taking a 9600-baud character time as a UART would
#   bench/parallel-cameras.sh network [BUILD] [COUNT]  behind one ser2net (rfc2217:); then one camera
#                                                      over tcp: against its pseudo-terminal directly
set -euo pipefail
mode=${1:?uart or network}
build=${2:-build}
count=${3:-16}
camsim="$build/tools/camsim/kavro-camsim"
cli="$build/src/cli/kavro-cli"
drain="$build/tools/uartdrain/libkavro_uart_drain.so"
work=$(mktemp -d)
children=()
trap 'kill "${children[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work" XDG_RUNTIME_DIR="$work"

now() { date +%s.%N; }
ratio() { echo "scale=3; $1 / $2" | bc -l; }

# Starts $count virtual cameras; their devices go to devices[].
start_cameras() {
  devices=()
  local i
  for i in $(seq "$count"); do
    "$camsim" --baud 115200 >"$work/camera$i" &
    children+=($!)
  done
  for i in $(seq "$count"); do
    while [ ! -s "$work/camera$i" ]; do sleep 0.01; done
    devices+=("$(head -n 1 "$work/camera$i")")
  done
}

# A factory settings file whose gains differ from the cameras' own.
make_golden() {
  "$cli" --port "${devices[0]}" --baud 115200 read-settings "$work/read.cam" --factory
  sed -e $'s/^GA=.*\r$/GA=123\r/' -e $'s/^SH=.*\r$/SH=7\r/' -e $'s/^AGCF=.*\r$/AGCF=100\r/' \
    "$work/read.cam" >"$work/golden.cam"
  ! cmp -s "$work/read.cam" "$work/golden.cam" || { echo "the golden file equals the cameras" >&2; exit 1; }
}

# Applies the golden file on every port given, all at once; prints the seconds taken.
apply() {
  local start pids=() port i=0 failed=0
  start=$(now)
  for port in "$@"; do
    i=$((i + 1))
    $preload "$cli" --port "$port" --baud 115200 apply-settings "$work/golden.cam" --factory >"$work/apply$i" 2>&1 &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  [ "$failed" -eq 0 ] || { cat "$work"/apply*; echo "an apply-settings failed" >&2; exit 1; }
  echo "$(now) - $start" | bc -l
}

# Every camera reads back equal to the file (diff exits 0 only then), all at once.
check() {
  local port pids=() failed=0
  for port in "$@"; do
    "$cli" --port "$port" --baud 115200 diff "$work/golden.cam" --factory >/dev/null 2>&1 &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  [ "$failed" -eq 0 ] || { echo "a camera does not read back equal to the file" >&2; exit 1; }
}

report() {  # what, one camera's seconds, all cameras' seconds
  printf '%s: one camera %.2f s, %d in parallel %.2f s = %s x one (budget 1.2 x)\n' \
    "$1" "$2" "$count" "$3" "$(ratio "$3" "$2")"
}

# A ser2net serving each device on a port of its own from $base on, the first
# device also raw on port $base + count; waits until every port listens.
start_ser2net() {
  base=$((20000 + RANDOM % 20000))
  {
    echo '%YAML 1.1'
    echo '---'
    local i
    for i in $(seq 0 $((count - 1))); do
      printf 'connection: &c%d\n    accepter: telnet(rfc2217),tcp,127.0.0.1,%d\n' "$i" $((base + i))
      printf '    connector: serialdev,%s,9600n81,local\n' "${devices[$i]}"
    done
    printf 'connection: &raw\n    accepter: tcp,127.0.0.1,%d\n' $((base + count))
    printf '    connector: serialdev,%s,115200n81,local\n' "${devices[0]}"
  } >"$work/ser2net.yaml"
  ser2net -d -c "$work/ser2net.yaml" >"$work/ser2net.log" 2>&1 &
  children+=($!)
  local port hex
  for port in $(seq "$base" $((base + count))); do
    hex=$(printf '0100007F:%04X' "$port")
    for _ in $(seq 500); do
      awk -v local="$hex" '$2 == local && $4 == "0A" { found = 1 } END { exit !found }' /proc/net/tcp && break
      sleep 0.01
    done
  done
}

start_cameras
make_golden
case $mode in
uart)
  preload="env LD_PRELOAD=$drain KAVRO_UART_DRAIN_BAUD=9600"
  one=$(apply "${devices[0]}")
  all=$(apply "${devices[@]}")
  check "${devices[@]}"
  report "pseudo-terminals, 9600-baud drain" "$one" "$all"
  ;;
network)
  preload=""
  start_ser2net
  ports=()
  for i in $(seq 0 $((count - 1))); do ports+=("rfc2217:127.0.0.1:$((base + i))"); done
  one=$(apply "${ports[0]}")
  all=$(apply "${ports[@]}")
  check "${ports[@]}"
  report "behind one ser2net (rfc2217:)" "$one" "$all"
  direct=$(apply "${devices[0]}")
  raw=$(apply "tcp:127.0.0.1:$((base + count))")
  printf 'one camera over tcp: %.2f s, on its pseudo-terminal %.2f s = %s x (budget 1.05 x)\n' \
    "$raw" "$direct" "$(ratio "$raw" "$direct")"
  ;;
*)
  echo "mode: uart or network" >&2
  exit 2
  ;;
esac
