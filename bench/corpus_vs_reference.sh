#!/bin/bash
# The corpus played by Velmora's player and by the reference player in one
# run on this machine: every file with a reference rendering, at 640 x 640
# fitted, warm (Velmora: best of 3 after one untimed play; reference: best
# of 4 plays in one process, the first of which warms it up).
#
# usage: bench/corpus_vs_reference.sh BUILD_DIR [OUT_DIR]
#   BUILD_DIR holds bench/velmora_corpus_play; the corpus and the oracle are
#   looked for in ../shared beside the checkout. Writes OUT_DIR/velmora.csv,
#   OUT_DIR/reference.csv and prints the comparison (bench/corpus_summary.py).
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "$1" && pwd)
OUT=${2:-$BUILD/corpus-bench}
SHARED=${VELMORA_SHARED:-$HERE/../../shared}
FILES=$SHARED/corpus/files
REFS=$SHARED/corpus/ref
ORACLE=$SHARED/tools/oracle
SIZE=640
mkdir -p "$OUT"

nice -n 10 "$BUILD/bench/velmora_corpus_play" "$FILES" "$REFS" $SIZE 3 > "$OUT/velmora.csv"

if [ "${SKIP_REFERENCE:-0}" != 1 ]; then
  . "$ORACLE/setup-prefix.sh"
  EXE=${ORACLE_HOME:-${XDG_CACHE_HOME:-$HOME/.cache}/reference-player}/emfref.exe
  [ -n "${WINESERVER:-}" ] && "$WINESERVER" -p30 2>/dev/null || true
  echo "file,ms" > "$OUT/reference.csv"
  tail -n +2 "$OUT/velmora.csv" | cut -d, -f1 | while IFS= read -r rel; do
    opts="--fit"
    case "$rel" in *.wmf|*.WMF) opts="$opts --mfp" ;; esac
    ms=$(nice -n 10 timeout 60 "$WINE" "$EXE" "$FILES/$rel" - $SIZE $SIZE $opts --repeat 4 --quiet 2>/dev/null |
         sed -n 's/^ms_min=//p' | tr -d '\r')
    echo "$rel,${ms:--1}" >> "$OUT/reference.csv"
  done
fi
python3 "$HERE/corpus_summary.py" "$OUT/velmora.csv" "$OUT/reference.csv"
