#!/usr/bin/env bash
# Installs what is missing, builds, and renders the sample picture with the
# plain player and with Velmora into out/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target velmora-render-sample
mkdir -p out
./build/tools/velmora-render-sample samples/tiger.emf out
