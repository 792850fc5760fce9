#!/usr/bin/env bash
# Compiles every rasterizer and viewer source, syntax only, against the real
# Windows headers of the mingw-w64 cross compiler: the library and the viewer
# must build unchanged on Windows. Exits 77 (skipped) where the cross compiler is missing.
set -euo pipefail
source_dir=$1
cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
if [ -z "$cxx" ]; then
  echo "x86_64-w64-mingw32-g++ not found: skipped"
  exit 77
fi
status=0
for f in "$source_dir"/rasterizer/*.cpp; do
  if ! "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -DVELMORA_BUILDING_LIBRARY \
      -I "$source_dir/rasterizer/include" -I "$source_dir/rasterizer" -isystem /usr/include/agg2 "$f"; then
    echo "FAILED: $f"
    status=1
  fi
done
for f in "$source_dir"/viewer/*.cpp; do
  if ! "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -municode -I "$source_dir/viewer" \
      -I "$source_dir/rasterizer/include" -I "$source_dir/rasterizer" "$f"; then
    echo "FAILED: $f"
    status=1
  fi
done
[ $status -eq 0 ] && echo "rasterizer and viewer compile against the Windows headers"
exit $status
