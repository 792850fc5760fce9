#!/usr/bin/env bash
# Screenshots of the viewer on a virtual X display, for looking at by eye:
# at start, after a click, with the About box open, and after opening a WMF
# through File > Metafile open and the file chooser.
#   scripts/viewer-screenshots.sh [OUT_DIR] [WMF_FILE]
# Needs the build in build/ (VelmoraTest) and the packages of
# scripts/install-deps.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-out/screenshots}" && cd "${1:-out/screenshots}" && pwd)
wmf=$(realpath "${2:-$root/tests/data/corpus/64716_image1.wmf}")
viewer=$root/build/viewer/VelmoraTest

if [ -z "${VELMORA_SHOTS_INNER:-}" ]; then
  export VELMORA_SHOTS_INNER=1
  exec timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$out" "$wmf"
fi

work=$(mktemp -d)
pid=""
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$root/samples/tiger.emf" "$wmf" "$work/"
cd "$work"

wait_for() {  # a window whose name matches $1
  for _ in $(seq 1 100); do
    xdotool search --name "$1" 2>/dev/null | head -1 && return 0
    sleep 0.2
  done
  echo "no window named $1" >&2
  return 1
}
# The screen, with the window $2 (a dialog) laid over it from its own
# image: Xvfb's root image leaves GTK's dialog windows black.
shot() {
  sleep 0.7
  xwd -root -silent | convert xwd:- "png:$work/root.png"
  if [ -n "${2:-}" ]; then
    eval "$(xdotool getwindowgeometry --shell "$2")"
    xwd -id "$2" -silent | convert xwd:- "png:$work/window.png"
    convert "$work/root.png" "$work/window.png" -geometry "+$X+$Y" -composite "png:$work/root.png"
  fi
  convert "$work/root.png" -crop 1000x620+0+0 +repage "png:$out/$1.png"
  echo "$out/$1.png"
}

GSETTINGS_BACKEND=memory VELMORA_WINDOW_BACKEND=gtk "$viewer" &
pid=$!
wid=$(wait_for '^tiger\.emf \[[0-9]+ ms\]$')
xdotool windowfocus --sync "$wid" || true
shot start

xdotool mousemove --window "$wid" 300 300 click 1
shot after-click

xdotool key --clearmodifiers alt+question
about=$(wait_for '^About VelmoraTest$')
shot about "$about"
xdotool key Return
sleep 0.5

xdotool windowfocus --sync "$wid" || true
xdotool key --clearmodifiers alt+f
sleep 0.4
xdotool key Return
wait_for '^Metafile.WMF, EMF. open$' >/dev/null
sleep 0.5
xdotool key ctrl+l
xdotool type --delay 20 "$work/$(basename "$wmf")"
xdotool key Return
wait_for '\.wmf \[[0-9]+ ms\]$' >/dev/null
shot wmf-opened

xdotool windowfocus --sync "$wid" || true
xdotool key --clearmodifiers alt+f
sleep 0.4
xdotool key x
wait "$pid"
