#!/bin/sh
# Fills a seed directory per fuzz target from the shared metafile corpus
# (files/ and broken/), which is never committed here:
#   identify, file  every file
#   convert         the WMF files, placeable ones without their 22-byte header
#   play, render    the EMF files
# fuzz_velmora reads call parameters, not metafiles: it needs no seeds.
# Usage: fuzz/seed.sh [SEED_DIR] [MAX_BYTES] [shippable]
# Files above MAX_BYTES (default 262144) are left out: libFuzzer sizes its
# inputs after the largest seed, and a few megabyte-sized seeds slow every run.
# With "shippable" only the sources under Apache-2.0 or MIT (sources.csv)
# are taken: the minimised corpus kept in fuzz/corpus is merged from those.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
corpus=${VELMORA_CORPUS:-$here/../../shared/corpus}
out=${1:-$here/../build-fuzz/seeds}
max_bytes=${2:-262144}
only=${3:-}
targets="identify file convert play render"

[ -d "$corpus/files" ] || { echo "no corpus at $corpus" >&2; exit 1; }
for target in $targets; do mkdir -p "$out/$target"; done

# The first four bytes of a file as hex, e.g. d7cdc69a for the placeable key.
magic() { od -An -tx1 -N4 "$1" | tr -d ' \n'; }
# The four bytes at offset 40: 20454d46 (" EMF") marks an enhanced metafile.
emf_signature() { od -An -tx1 -j40 -N4 "$1" | tr -d ' \n'; }
# The corpus sources whose licence lets their files be copied here.
shippable_sources() { awk -F, 'NR > 1 && ($4 ~ /^Apache-2.0/ || $4 ~ /^MIT/) { print $1 }' "$corpus/sources.csv"; }

folders() {
  if [ "$only" = shippable ]; then
    for source in $(shippable_sources); do
      for part in files broken; do [ -d "$corpus/$part/$source" ] && echo "$corpus/$part/$source"; done
    done
  else
    echo "$corpus/files" "$corpus/broken"
  fi
}

find $(folders) -type f -size -"$((max_bytes + 1))"c | while read -r file; do
  name=$(printf '%s' "${file#"$corpus"/}" | tr '/ ' '__')
  cp "$file" "$out/identify/$name"
  cp "$file" "$out/file/$name"
  if [ "$(magic "$file")" = d7cdc69a ]; then
    tail -c +23 "$file" > "$out/convert/$name"
  elif [ "$(emf_signature "$file")" = 20454d46 ]; then
    cp "$file" "$out/play/$name"
    cp "$file" "$out/render/$name"
  else
    cp "$file" "$out/convert/$name"
  fi
done
for target in $targets; do
  echo "$target: $(ls "$out/$target" | wc -l) seeds in $out/$target"
done
