#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Velmora
# needs on a fresh Debian 12 machine. Safe to run again.
set -euo pipefail

packages=(
  # toolchain
  cmake g++ make pkg-config
  # libraries
  libagg-dev libfreetype-dev libfontconfig-dev libpng-dev libjpeg-dev nlohmann-json3-dev libjemalloc-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # fonts the player maps the common Windows faces to
  fonts-liberation fonts-liberation2 fonts-dejavu-core
  # Chinese, Japanese and Korean (one 5 MB collection: proportional and fixed)
  fonts-wqy-microhei
  # Symbol, Wingdings and Tahoma layouts (fonts-wine), a second Symbol (urw-base35)
  fonts-wine fonts-urw-base35
  # the check that rasterizer/ and viewer/ compile against the real <windows.h>
  g++-mingw-w64-x86-64
  # Debian packages of the project (cpack, dpkg-shlibdeps), and a fresh
  # Debian 12 to try them on (packaging/check_fresh_debian.sh)
  dpkg-dev debootstrap
  # fuzzing: libFuzzer and its sanitizers (fuzz/README.md)
  clang libclang-rt-dev
  # the resource compiler (windres) for the viewer's resource script
  binutils-mingw-w64-x86-64
  # the viewer's desktop window
  libgtk-3-dev
  # the viewer's smoke test: a virtual X display, input, screenshots
  xvfb xauth xdotool x11-apps imagemagick
  # corpus scoring (compare.py)
  python3 python3-pil python3-numpy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
echo "install-deps: all ${#packages[@]} packages present"
