#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Lumenweave needs,
# skipping what is already there. Run as root; safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libgl-dev libegl-dev libegl-mesa0 libglu1-mesa-dev libosmesa6-dev libgl1-mesa-dri libglx-mesa0 mesa-utils libpng-dev
  zlib1g-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xserver-xephyr xauth x11-utils x11-xserver-utils xdotool openbox imagemagick gifsicle procps python3
  nsis zip python3-yaml
  libx11-dev libxext-dev libxrandr-dev libxinerama-dev dpkg-dev xscreensaver passwd util-linux gdb
  libsystemd-dev dbus python3-dbusmock
  lintian rpm man-db
  libwayland-dev wayland-protocols libegl1-mesa-dev libxkbcommon-dev sway swayidle grim
  lld wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32
  chromium ffmpeg
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Node and npm build the browser playground. A Node from elsewhere that brings its own npm
# stays; Debian's packages come only where there is none.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)

if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
