#!/bin/bash
# The corpus played by Velmora's player and by the reference player in one
# run on this machine: every file with a reference rendering, at 640 x 640
# fitted, warm (Velmora: best of 3 after one untimed play; reference: best
# of 4 plays in one process, the first of which warms it up). File by file,
# each build and the reference one after the other, so that load from other
# work on a shared machine falls on all of them alike.
#
# usage: bench/corpus_vs_reference.sh OUT_DIR BUILD_DIR [BUILD_DIR...]
#   Each BUILD_DIR holds bench/velmora_corpus_play; the corpus and the
#   oracle are looked for in ../shared beside the checkout (VELMORA_SHARED
#   overrides). Writes OUT_DIR/build<N>.csv and OUT_DIR/reference.csv and
#   prints bench/corpus_summary.py's comparison of the first build (and the
#   second as "before", when given). SKIP_REFERENCE=1 times the builds only.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
OUT=$1
shift
SHARED=${VELMORA_SHARED:-$HERE/../../shared}
FILES=$SHARED/corpus/files
REFS=$SHARED/corpus/ref
ORACLE=$SHARED/tools/oracle
SIZE=640
mkdir -p "$OUT"
BUILDS=()
for b in "$@"; do BUILDS+=("$(cd "$b" && pwd)"); done

if [ "${SKIP_REFERENCE:-0}" != 1 ]; then
  . "$ORACLE/setup-prefix.sh"
  EXE=${ORACLE_HOME:-${XDG_CACHE_HOME:-$HOME/.cache}/reference-player}/emfref.exe
  [ -n "${WINESERVER:-}" ] && "$WINESERVER" -p60 2>/dev/null || true
  echo "file,ms" > "$OUT/reference.csv"
fi
for i in "${!BUILDS[@]}"; do echo "file,ms" > "$OUT/build$i.csv"; done

"${BUILDS[0]}/bench/velmora_corpus_play" "$FILES" "$REFS" $SIZE 1 2>/dev/null | tail -n +2 | cut -d, -f1 |
while IFS= read -r rel; do
  for i in "${!BUILDS[@]}"; do
    ms=$(nice -n 10 timeout 120 "${BUILDS[$i]}/bench/velmora_corpus_play" --file "$FILES/$rel" $SIZE "${PLAYS:-3}" 2>/dev/null)
    echo "$rel,${ms:--1}" >> "$OUT/build$i.csv"
  done
  if [ "${SKIP_REFERENCE:-0}" != 1 ]; then
    opts="--fit"
    case "$rel" in *.wmf|*.WMF) opts="$opts --mfp" ;; esac
    ms=$(nice -n 10 timeout 120 "$WINE" "$EXE" "$FILES/$rel" - $SIZE $SIZE $opts --repeat "${REFERENCE_PLAYS:-4}" --quiet 2>/dev/null |
         sed -n 's/^ms_min=//p' | tr -d '\r')
    echo "$rel,${ms:--1}" >> "$OUT/reference.csv"
  fi
done
[ -f "$OUT/reference.csv" ] || exit 0
if [ ${#BUILDS[@]} -gt 1 ]; then
  python3 "$HERE/corpus_summary.py" "$OUT/build0.csv" "$OUT/reference.csv" "$OUT/build1.csv"
else
  python3 "$HERE/corpus_summary.py" "$OUT/build0.csv" "$OUT/reference.csv"
fi
