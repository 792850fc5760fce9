#!/usr/bin/env bash
# Installs what is missing, builds, and draws the sample picture with the
# plain player and with Velmora side by side into out/tiger-compare.png,
# printing where it is and how long the library call took; with a display,
# it also opens the viewer.
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

# Where a display is available, the viewer shows the same comparison in a
# window (it opens tiger.emf from its working folder). The script does not
# wait for it, and the viewer's output goes to a file: holding the script's
# output open would keep a pipe reading it (a log, $(...)) waiting until the
# window is closed.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] &&
  cmake --build build -j "$(nproc)" --target VelmoraTest >/dev/null 2>&1; then
  (cd samples && exec ../build/viewer/VelmoraTest) </dev/null >out/viewer.log 2>&1 &
  echo "opened the viewer (build/viewer/VelmoraTest, process $!; its messages in out/viewer.log)"
fi
