#!/usr/bin/env bash
# ThreadSanitizer run of the concurrency test: builds only what that test
# needs (the libraries and concurrency_tests) in build-tsan and runs it; any
# report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build-tsan}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=thread \
  -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_TOOLS=OFF
cmake --build "$build_dir" -j "$(nproc)" --target concurrency_tests
TSAN_OPTIONS="halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}" "$build_dir/tests/concurrency_tests"
