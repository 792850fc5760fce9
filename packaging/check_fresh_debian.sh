#!/usr/bin/env bash
# Installs the Debian packages of a finished Release build on a fresh
# Debian 12 and tries them there: a minimal bookworm system is made with
# debootstrap, the packages go in with `apt-get install ./*.deb` (their
# dependencies and recommended fonts from the Debian archive), then
# velmora-render draws the sample, the thumbnailer's Exec line runs as a file
# manager runs it, and the example builds against libvelmora-dev with
# find_package(Velmora) and with pkg-config, both drawing the same picture.
#
#   packaging/check_fresh_debian.sh BUILD_DIR
#
# Needs root (debootstrap and chroot), debootstrap (apt-get install
# debootstrap) and the Debian archive named in /etc/apt/sources.list(.d).
# It took 10 and 26 minutes on the shared 2-core machine (most of it
# debootstrap and dpkg configuring packages, so the machine's load counts
# more than the download), so it is not among the tests; with
# VELMORA_BOOTSTRAP_TARBALL=FILE the downloaded base system is kept in FILE
# for the next run.
# Exits 77 when it cannot run here.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$1" && pwd)

skip() {
  echo "check_fresh_debian: $1: skipped" >&2
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "needs root for debootstrap and chroot"
for tool in debootstrap chroot cpack mount; do
  command -v "$tool" >/dev/null || skip "no $tool"
done

# The first Debian archive the machine's own apt sources name.
debian_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -oE '(https?://[^ ]*/debian)/?( |$)' | grep -v security | head -n 1 | tr -d ' ' || true)
  echo "${uri:-http://deb.debian.org/debian}"
}

work=$(mktemp -d)
root=$work/root
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
started=$SECONDS

mirror=$(debian_mirror)
tarball=${VELMORA_BOOTSTRAP_TARBALL:-}
if [ -n "$tarball" ] && [ ! -f "$tarball" ]; then
  debootstrap --variant=minbase --make-tarball="$tarball" bookworm "$work/tarball-work" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log" >&2; exit 1; }
fi
bootstrap=(debootstrap --variant=minbase)
[ -n "$tarball" ] && bootstrap+=(--unpack-tarball="$(cd "$(dirname "$tarball")" && pwd)/$(basename "$tarball")")
"${bootstrap[@]}" bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 20 "$work/debootstrap.log" >&2; exit 1; }
echo "check_fresh_debian: Debian 12 base system from $mirror ($((SECONDS - started)) s)"

# What the smoke test needs inside: the packages, two pictures, the example.
inside=$root/tmp/velmora
mkdir -p "$inside/debs"
(cd "$build_dir" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) || { tail -n 20 "$work/cpack.log" >&2; exit 1; }
cp "$work"/cpack/*.deb "$inside/debs/"
cp -r "$source_dir/examples" "$inside/examples"
cp "$source_dir/samples/tiger.emf" "$source_dir/tests/data/corpus/wrench.emf" "$inside/"
mount -t proc proc "$root/proc"

in_debian() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  DEBIAN_FRONTEND=noninteractive /bin/bash -euo pipefail -c "$1"; }

in_debian 'apt-get update -qq && apt-get install -y -qq /tmp/velmora/debs/*.deb' >"$work/install.log" 2>&1 ||
  { tail -n 30 "$work/install.log" >&2; exit 1; }
echo "check_fresh_debian: $(cd "$inside/debs" && echo *.deb) installed with apt ($((SECONDS - started)) s)"

in_debian '
cd /tmp/velmora
velmora-render --version
velmora-render --width 400 tiger.emf -o tiger.png
[ "$(head -c 4 tiger.png | tail -c 3)" = PNG ]
[ -f /usr/share/man/man1/velmora-render.1.gz ]
# The Exec line with its fields filled in, split into words as file managers do.
line=$(sed -n "s/^Exec=//p" /usr/share/thumbnailers/velmora.thumbnailer)
line=${line//%s/128}; line=${line//%i/wrench.emf}; line=${line//%o/thumbnail}
$line
[ "$(head -c 4 thumbnail | tail -c 3)" = PNG ]
echo "check_fresh_debian: velmora-render drew the tiger; the thumbnailer entry made a PNG"'

in_debian 'apt-get install -y -qq --no-install-recommends cmake g++ make pkg-config' >"$work/tools.log" 2>&1 ||
  { tail -n 30 "$work/tools.log" >&2; exit 1; }
in_debian '
cd /tmp/velmora
cmake -S examples -B example-build >/dev/null
cmake --build example-build >/dev/null
example-build/draw_metafile tiger.emf cmake.bmp
c++ -std=c++17 examples/draw_metafile.cpp $(pkg-config --cflags --libs velmora) -o pkg-config-example
./pkg-config-example tiger.emf pkg-config.bmp
cmp cmake.bmp pkg-config.bmp
echo "check_fresh_debian: the example built against libvelmora-dev with find_package and pkg-config"'
echo "check_fresh_debian: the packages install and work on a fresh Debian 12 ($((SECONDS - started)) s)"
