#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on Debian 12.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  xvfb xauth imagemagick
  dpkg-dev lintian desktop-file-utils appstream man-db groff-base bash-completion
  ser2net   # serial ports on other machines: the tests start their own on free ports
)

if [ "$(id -u)" -ne 0 ]; then
  echo "setup-debian.sh: run as root (apt-get installs packages)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${PACKAGES[@]}" >/dev/null
