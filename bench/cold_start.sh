#!/bin/bash
# The first Velmora call in fresh processes: each file drawn RUNS times by
# velmora_cold_start, each run a new process; prints the median first and
# warm call times and whether the first call did font work.
#
# usage: bench/cold_start.sh BUILD_DIR [RUNS] FILE...
set -eu
BIN=$1/bench/velmora_cold_start
shift
RUNS=10
if [[ ${1:-} =~ ^[0-9]+$ ]]; then RUNS=$1; shift; fi
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '%-40s %10s %10s %s\n' file first_ms warm_ms font_work
for file in "$@"; do
  out=$(for _ in $(seq "$RUNS"); do "$BIN" "$file"; done)
  first=$(sed -n 's/.*first_ms=\([^ ]*\).*/\1/p' <<<"$out" | median)
  warm=$(sed -n 's/.*warm_ms=\([^ ]*\).*/\1/p' <<<"$out" | median)
  fonts=$(sed -n 's/.*font_work=\(.*\)/\1/p' <<<"$out" | sort -u | tr '\n' ' ')
  printf '%-40s %10s %10s %s\n' "$(basename "$file")" "$first" "$warm" "$fonts"
done
