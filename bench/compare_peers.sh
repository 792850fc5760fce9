#!/usr/bin/env bash
# Whole-process time of velmora-render beside the metafile converters Debian
# ships, each making an 800-pixel-wide PNG of the same three corpus files,
# measured with hyperfine. A peer that is not installed, or that cannot read
# a file's kind, is left out of that file's table.
#
#   bench/compare_peers.sh [BUILD_DIR] [CORPUS_FILES_DIR]
#
# The peers are for this measurement only and are not project dependencies:
#   apt-get install hyperfine emf2svg librsvg2-bin inkscape
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
corpus=${2:-../shared/corpus/files}
render="$build_dir/tools/render/velmora-render"
width=800
runs=${RUNS:-20}

if ! command -v hyperfine >/dev/null; then
  echo "compare_peers: hyperfine is not installed (apt-get install hyperfine)" >&2
  exit 77
fi
if [ ! -x "$render" ] || [ ! -d "$corpus" ]; then
  echo "compare_peers: needs $render (build it first) and the corpus in $corpus" >&2
  exit 77
fi

# Three producers and sizes: a small EMF with text, a large EMF (79,000
# records), and a placeable WMF from a slide deck.
files=(
  libemf2svg/emf__test-001.emf
  libemf2svg/emf__test-031.emf
  apache-poi/slideshow__60677.wmf
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
results=${RESULTS_DIR:-out/bench}
mkdir -p "$results"

for file in "${files[@]}"; do
  input="$corpus/$file"
  name=$(basename "$file")
  commands=(-n velmora-render "$render --width $width '$input' -o $work/velmora.png")
  if command -v emf2svg-conv >/dev/null && command -v rsvg-convert >/dev/null && [[ $name == *.emf ]]; then
    commands+=(-n "emf2svg-conv + rsvg-convert"
      "emf2svg-conv -i '$input' -o $work/peer.svg && rsvg-convert -w $width $work/peer.svg -o $work/rsvg.png")
  fi
  if command -v inkscape >/dev/null; then
    commands+=(-n "inkscape"
      "inkscape '$input' --export-type=png --export-width=$width --export-filename=$work/inkscape.png")
  fi
  echo "== $file"
  nice -n 10 hyperfine --warmup 2 --runs "$runs" --export-markdown "$results/$name.md" "${commands[@]}" \
    2>/dev/null | grep -E 'Benchmark|Time|faster|±' || true
  cat "$results/$name.md"
done
