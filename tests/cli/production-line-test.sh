#!/usr/bin/env bash
# Runs every sh example of the production-line guide as it stands, in order and
# in one shell, against five virtual cameras that a profile of its own names
# COM1 .. COM5, and compares what each example prints with the text block that
# follows it in the guide (nothing, when none follows).
#   production-line-test.sh GUIDE KAVRO_CLI KAVRO_CAMSIM
set -euo pipefail
guide=$1 cli=$2 camsim=$3
work=$(mktemp -d)
cameras=()
trap 'kill "${cameras[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
mkdir -p "$work/bin" "$work/line" "$work/expected" "$work/printed" "$XDG_CONFIG_HOME/QEL Corporation"
ln -s "$cli" "$work/bin/kavro-cli"

# Cameras, each with its device named in the profile once it is there.
profile="$XDG_CONFIG_HOME/QEL Corporation/MX-330_550CL Camera Kavro.ini"
echo "[General]" >"$profile"
for n in 1 2 3 4 5; do
  "$camsim" >"$work/camera$n" &
  cameras+=($!)
done
for n in 1 2 3 4 5; do
  for ((tries = 0; tries < 1000; tries++)); do
    [ -s "$work/camera$n" ] && break
    sleep 0.01
  done
  [ -s "$work/camera$n" ] || { echo "camera $n did not start" >&2; exit 1; }
  echo "COM$n=$(head -n 1 "$work/camera$n")" >>"$profile"
done
# The golden camera was tuned by hand.
"$cli" --port COM1 set GA 120

# The examples, each announced by a marker line; the text after one is its output.
awk -v script="$work/examples.sh" -v expected="$work/expected" '
  /^```sh$/   { inside = "sh"; n++; print "echo \"@@ " n "\"" >script; next }
  /^```text$/ { inside = "text"; printf "" >(expected "/" n); next }
  /^```/      { inside = ""; next }
  inside == "sh"   { print >script }
  inside == "text" { print >(expected "/" n) }
' "$guide"
(cd "$work/line" && PATH="$work/bin:$PATH" bash "$work/examples.sh") >"$work/output"
awk -v printed="$work/printed" '/^@@ /{ n = $2; printf "" >(printed "/" n); next } { print >(printed "/" n) }' \
  "$work/output"

count=$(grep -c '^```sh$' "$guide")
[ "$count" -gt 0 ] || { echo "no example in $guide" >&2; exit 1; }
failed=0
for ((n = 1; n <= count; n++)); do
  touch "$work/expected/$n"
  if ! diff -u "$work/expected/$n" "$work/printed/$n"; then
    echo "example $n of $guide printed the above" >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "all $count examples print what the guide shows"
