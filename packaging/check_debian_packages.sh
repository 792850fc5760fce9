#!/usr/bin/env bash
# Makes the Debian packages of a finished Release build and tries them:
# apt resolves their dependencies from the Debian archive as an install on
# a fresh Debian 12 would (a simulation: nothing is installed), and their
# unpacked contents work: velmora-render draws, the thumbnailer entry runs
# as a file manager runs it, and the example builds against the -dev files.
#   packaging/check_debian_packages.sh BUILD_DIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$1" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps apt-get; do
  command -v "$tool" >/dev/null || { echo "check_debian_packages: no $tool" >&2; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build_dir" && cpack -G DEB -B "$work/debs" >/dev/null)
debs=("$work"/debs/*.deb)
[ ${#debs[@]} -eq 3 ] || { echo "check_debian_packages: ${#debs[@]} packages made, not 3" >&2; exit 1; }

# Every dependency must be known to apt (from the archive or these files).
if ! apt-get install --simulate --no-install-recommends "${debs[@]}" >"$work/apt.log" 2>&1; then
  cat "$work/apt.log" >&2
  exit 1
fi
for package in libvelmora0 libvelmora-dev velmora-tools; do
  dpkg-deb -f "$work/debs/${package}_"*.deb Package | grep -qx "$package"
done

root=$work/root
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$root"; done
export LD_LIBRARY_PATH=$root/usr/lib
"$root/usr/bin/velmora-render" --width 200 "$source_dir/samples/tiger.emf" -o "$work/tiger.png"
[ -s "$work/tiger.png" ]
zcat "$root/usr/share/man/man1/velmora-render.1.gz" | grep -q '^\.TH VELMORA-RENDER 1'

# The Exec line with its fields filled in, the program found on PATH.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/thumbnailers/velmora.thumbnailer")
exec_line=${exec_line//%s/128}
exec_line=${exec_line//%i/$source_dir/tests/data/corpus/wrench.emf}
exec_line=${exec_line//%o/$work/thumbnail}
# shellcheck disable=SC2086 # the Exec line is split into words, as file managers do
PATH=$root/usr/bin:$PATH $exec_line
[ "$(head -c 4 "$work/thumbnail" | tail -c 3)" = PNG ]

cmake -S "$source_dir/examples" -B "$work/example" -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
cmake --build "$work/example" >/dev/null
"$work/example/draw_metafile" "$source_dir/samples/tiger.emf" "$work/tiger.bmp"
echo "check_debian_packages: $(cd "$work/debs" && echo *.deb) resolve, unpack and work"
