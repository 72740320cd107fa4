#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Lumenweave needs,
# skipping what is already there. Run as root; safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libgl-dev libegl-dev libegl-mesa0 libglu1-mesa-dev libosmesa6-dev libgl1-mesa-dri libglx-mesa0 mesa-utils libpng-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xserver-xephyr xauth x11-utils xdotool openbox imagemagick gifsicle procps python3
  nsis zip python3-yaml
  libx11-dev dpkg-dev xscreensaver passwd util-linux gdb
  lintian rpm man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
