#!/usr/bin/env bash
# Installs a finished build into a temporary prefix and builds the example
# program against it twice, as other projects would: with CMake's
# find_package(Velmora) and with pkg-config; then runs both and the
# installed velmora-render.
#   packaging/check_install.sh BUILD_DIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libvelmora.so' | head -n 1)")

# The example's picture: 640 x 480, 32 bits a pixel, behind 54 header bytes.
check_bmp() {
  local size
  size=$(stat -c %s "$1")
  [ "$size" -eq $((54 + 640 * 480 * 4)) ] || { echo "check_install: $1 has $size bytes" >&2; exit 1; }
}

cmake -S "$source_dir/examples" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
"$work/cmake-build/draw_metafile" "$source_dir/samples/tiger.emf" "$work/cmake.bmp"
check_bmp "$work/cmake.bmp"
echo "check_install: find_package(Velmora) example drew the tiger"

export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046 # pkg-config's flags are separate words
c++ -std=c++17 "$source_dir/examples/draw_metafile.cpp" $(pkg-config --cflags --libs velmora) \
  -Wl,-rpath,"$libdir" -o "$work/pkg-config-example"
"$work/pkg-config-example" "$source_dir/samples/tiger.emf" "$work/pkg-config.bmp"
cmp "$work/cmake.bmp" "$work/pkg-config.bmp"
echo "check_install: pkg-config example drew the same picture"

LD_LIBRARY_PATH=$libdir "$prefix/bin/velmora-render" --width 100 "$source_dir/samples/tiger.emf" -o "$work/tiger.png"
[ -s "$work/tiger.png" ] && [ -f "$prefix/share/thumbnailers/velmora.thumbnailer" ] &&
  [ -f "$prefix/share/man/man1/velmora-render.1.gz" ]
echo "check_install: installed velmora-render, its manual page and thumbnailer entry work"
