#!/usr/bin/env bash
# Whole-process time of velmora-render beside the metafile converters Debian
# ships, each making an 800-pixel-wide PNG of the same three corpus files,
# measured with hyperfine. A peer that is not installed, or that cannot read
# a file's kind, is left out of that file's table.
#
#   bench/compare_peers.sh [BUILD_DIR] [CORPUS_FILES_DIR] [FILE...]
#
# The peers are for this measurement only and are not project dependencies:
#   apt-get install hyperfine emf2svg librsvg2-bin inkscape
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
corpus=${2:-../shared/corpus/files}
render="$build_dir/tools/render/velmora-render"
width=800
# hyperfine's own choice of runs (about 3 s of them) within these bounds.
min_runs=${MIN_RUNS:-5}
max_runs=${MAX_RUNS:-30}

if ! command -v hyperfine >/dev/null; then
  echo "compare_peers: hyperfine is not installed (apt-get install hyperfine)" >&2
  exit 77
fi
if [ ! -x "$render" ] || [ ! -d "$corpus" ]; then
  echo "compare_peers: needs $render (build it first) and the corpus in $corpus" >&2
  exit 77
fi

# Three producers and sizes: a small chart EMF with text, a large EMF
# (79,000 records), and a placeable clip-art WMF. (Inkscape ran for more
# than five minutes on apache-poi/slideshow__60677.wmf, so that is not one.)
files=(
  libemf2svg/emf__test-001.emf
  libemf2svg/emf__test-031.emf
  hughbe-WmfReader/ImageMagick__ImageMagick__ImageMagick_wizard.wmf
)
if [ $# -gt 2 ]; then files=("${@:3}"); fi

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
  hyperfine --warmup 1 --min-runs "$min_runs" --max-runs "$max_runs" --export-markdown "$results/$name.md" \
    --export-json "$results/$name.json" "${commands[@]}" | grep -E 'Benchmark|Time|faster' || true
  cat "$results/$name.md"
done

# One table for all files: wall time and processor time (user + system) of
# each command, and how many times slower the fastest peer is than ours.
/usr/bin/python3 - "$results" "${files[@]}" <<'PY'
import json, os, sys
results, files = sys.argv[1], sys.argv[2:]
print("\n| file | command | wall ms (mean ± σ) | cpu ms (user + sys) | fastest peer / velmora-render |")
print("|---|---|---:|---:|---:|")
for f in files:
    name = os.path.basename(f)
    runs = json.load(open(os.path.join(results, name + ".json")))["results"]
    ours = next(r for r in runs if r["command"] == "velmora-render")
    peers = [r for r in runs if r is not ours]
    for r in runs:
        ratio = ""
        if r is ours and peers:
            best = min(peers, key=lambda p: p["mean"])
            ratio = "%.1fx wall, %.1fx cpu" % (best["mean"] / r["mean"], (best["user"] + best["system"]) / (r["user"] + r["system"]))
        print("| %s | %s | %.1f ± %.1f | %.1f | %s |" % (name, r["command"], r["mean"] * 1e3, r["stddev"] * 1e3,
              (r["user"] + r["system"]) * 1e3, ratio))
PY
