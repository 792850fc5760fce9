#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
#   scripts/test.sh                 Release build in build/
#   VELMORA_SANITIZE=address,undefined BUILD_DIR=build-asan scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
build_dir=${BUILD_DIR:-build}
build_type=${BUILD_TYPE:-Release}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="$build_type" -DVELMORA_SANITIZE="${VELMORA_SANITIZE:-}"
cmake --build "$build_dir" -j "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600
