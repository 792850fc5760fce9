#!/usr/bin/env bash
# Installs what is missing, builds, and draws the sample picture with the
# plain player and with Velmora side by side into out/tiger-compare.png,
# printing where it is and how long the library call took.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target velmora-render
mkdir -p out
timing=$(./build/tools/render/velmora-render --compare --width 800 --background white --time \
  samples/tiger.emf -o out/tiger-compare.png)
echo "wrote out/tiger-compare.png: plain player (left) and Velmora (right)"
echo "library call: ${timing#*, }"
