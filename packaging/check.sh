#!/usr/bin/env bash
# Checks of what an installed copy carries; ctest runs one step per test.
#   check.sh package BUILD_DIR CPACK     the .deb: contents, programs, lintian
#   check.sh desktop DESKTOP METAINFO    desktop entry and AppStream metadata
#   check.sh manuals MAN_DIR             every page formats without a warning
#   check.sh completion SCRIPT           bash completes commands and names
#   check.sh denied-port KAVRO_CLI [MAINWIN_TEST]
#                                        a device the user may not open names its group
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

step_package() {
  local build=$1 cpack=$2
  (cd "$build" && "$cpack" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
  local deb
  deb=$(ls "$work"/out/camera-kavro_*_amd64.deb) || fail "no camera-kavro_*_amd64.deb"
  echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
  dpkg-deb -f "$deb" Package Version Section Maintainer Depends

  dpkg-deb -x "$deb" "$work/root"
  local file
  for file in usr/bin/kavro usr/bin/kavro-cli usr/bin/kavro-camsim \
      usr/share/applications/com.qel.CameraKavro.desktop \
      usr/share/icons/hicolor/scalable/apps/com.qel.CameraKavro.svg \
      usr/share/icons/hicolor/256x256/apps/com.qel.CameraKavro.png \
      usr/share/metainfo/com.qel.CameraKavro.metainfo.xml \
      usr/share/man/man1/kavro.1.gz usr/share/man/man1/kavro-cli.1.gz usr/share/man/man1/kavro-camsim.1.gz \
      usr/share/bash-completion/completions/kavro-cli; do
    [ -e "$work/root/$file" ] || fail "$file is not in the package"
  done
  if dpkg-deb -c "$deb" | grep -E 'clser|clallserial|grabber|\.so'; then
    fail "the Camera Link stand-in libraries are in the package"
  fi
  dpkg-deb -f "$deb" Depends | grep -q libqt6 || fail "no Qt dependency computed"

  "$work/root/usr/bin/kavro-cli" --help | grep -q '^usage: kavro-cli' || fail "kavro-cli --help"
  "$work/root/usr/bin/kavro-camsim" --help | grep -q '^Usage: kavro-camsim' || fail "kavro-camsim --help"

  echo "lintian:"
  local status=0
  lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || status=$?
  grep -v "root privileges" "$work/lintian.log" || echo "(nothing)"
  [ "$status" -eq 0 ] || fail "lintian found errors"
}

step_desktop() {
  desktop-file-validate "$1" || fail "desktop entry"
  appstreamcli validate --no-net --explain "$2" || fail "AppStream metadata"
}

step_manuals() {
  local page out
  for page in "$1"/*.1; do
    out=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "$page: $out"
    out=$(groff -man -ww -z "$page" 2>&1)
    [ -z "$out" ] || fail "$page: $out"
  done
}

# Prints what bash offers for the words given, the last being the one completed.
complete_words() {
  local script=$1
  shift
  bash --norc -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _kavro_cli
    echo "${COMPREPLY[*]}"' complete "$script" "$@"
}

step_completion() {
  local script=$1 got
  got=$(complete_words "$script" kavro-cli qu)
  [ "$got" = query ] || fail "kavro-cli qu completes to '$got'"
  got=$(complete_words "$script" kavro-cli --port COM1 set EA)
  [[ " $got " == *" EA "* ]] || fail "--port COM1 set EA offers '$got'"
  got=$(complete_words "$script" kavro-cli query ga)
  [[ " $got " == *" ga "* ]] || fail "query ga offers '$got'"
  got=$(complete_words "$script" kavro-cli query GA "")
  [ "$got" = "" ] || fail "a second name after query: '$got'"
  got=$(complete_words "$script" kavro-cli --port CO)
  [[ " $got " == *" COM16 "* ]] || fail "--port CO offers '$got'"
  got=$(complete_words "$script" kavro-cli --port rf)
  [ "$got" = rfc2217: ] || fail "--port rf completes to '$got'"
  got=$(complete_words "$script" kavro-cli --ver)
  [ "$got" = --verbose ] || fail "--ver completes to '$got'"
}

step_denied_port() {
  local cli=$1 session=${2:-}
  [ "$(id -u)" -eq 0 ] || { echo "needs root to hand a device to the group dialout"; exit 77; }
  getent group dialout >/dev/null || { echo "no group dialout"; exit 77; }
  chmod 755 "$work"
  # A stand-in for /dev/ttyUSB0: root's, usable by the group dialout only.
  local device=$work/ttyDenied
  : >"$device"
  chown root:dialout "$device"
  chmod 660 "$device"
  mkdir "$work/home" && chown nobody "$work/home"
  # The build tree may lie in a private folder (a clone in mktemp -d): run copies nobody can reach.
  cp "$cli" "$work/kavro-cli" && cli=$work/kavro-cli
  if [ -n "$session" ]; then cp "$session" "$work/session-test" && session=$work/session-test; fi
  local as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups --
                   env -u XDG_RUNTIME_DIR HOME="$work/home" XDG_CONFIG_HOME="$work/home")

  local err status=0
  err=$("${as_nobody[@]}" "$cli" --port "$device" --timeout 200 query EA 2>&1 >/dev/null) || status=$?
  [ "$status" -eq 1 ] || fail "kavro-cli ended with $status: $err"
  [[ $err == *'group "dialout"'* ]] || fail "no group in: $err"
  [[ $err == *'sudo usermod -aG dialout $USER'* ]] || fail "no hint in: $err"
  [[ $err == *'log in again'* ]] || fail "no new login in: $err"
  [[ $err == *'Failed to initialize!'* ]] || fail "no failure in: $err"
  [[ $err != *lock* ]] || fail "the port lock failed an ordinary user: $err"

  if [ -n "$session" ]; then
    local out
    out=$("${as_nobody[@]}" KAVRO_DENIED_DEVICE="$device" \
          "$session" --gtest_filter='SessionReading.DeniedPortNamesItsGroupInTheDetails' 2>&1) || { echo "$out"; fail "session"; }
    [[ $out == *'[  PASSED  ] 1 test'* && $out != *SKIPPED* ]] || { echo "$out"; fail "the session check did not run"; }
  fi
}

step=$1
shift
case $step in
package) step_package "$@" ;;
desktop) step_desktop "$@" ;;
manuals) step_manuals "$@" ;;
completion) step_completion "$@" ;;
denied-port) step_denied_port "$@" ;;
*) fail "unknown step $step" ;;
esac
