#!/usr/bin/env bash
# The real viewer on a virtual X display: started in a folder with
# tiger.emf, it must title itself "tiger.emf [N ms]", show a drawing in both
# panes, take a click, and end with exit status 0 through File > Exit
# chosen with the menu's mnemonics. Exits 77 (skipped) without Xvfb.
#   gtk_smoke_test.sh VIEWER SAMPLES_DIR [SCREENSHOT_DIR]
set -euo pipefail
viewer=$1
samples=$2
shots=${3:-}

for tool in xvfb-run Xvfb xdotool xwd convert; do
  command -v "$tool" >/dev/null || { echo "$tool not found: skipped"; exit 77; }
done
# Debian's Python, which has the imaging module (scripts/install-deps.sh).
python=/usr/bin/python3
"$python" -c 'import PIL' 2>/dev/null || { echo "python3-pil not found: skipped"; exit 77; }

if [ -z "${VELMORA_SMOKE_INNER:-}" ]; then
  export VELMORA_SMOKE_INNER=1
  exec timeout 110 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pid=""
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$samples/tiger.emf" "$work/"
cd "$work"

# GTK and its libraries keep allocations to the end of the process; in a
# sanitiser build they would be reported as leaks (the headless tests check
# the window layer's own objects). Settings stay in memory: no session bus.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" GSETTINGS_BACKEND=memory VELMORA_WINDOW_BACKEND=gtk "$viewer" &
pid=$!

# The window, once its first repaint has put the time into the title.
wid=""
for _ in $(seq 1 150); do
  wid=$(xdotool search --name '^tiger\.emf \[[0-9]+ ms\]$' 2>/dev/null | head -1 || true)
  [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "viewer ended early"; exit 1; }
  sleep 0.2
done
[ -n "$wid" ] || { echo "no window titled tiger.emf [N ms]"; exit 1; }
echo "title: $(xdotool getwindowname "$wid")"
sleep 0.5

shot() { xwd -root -silent | convert xwd:- "png:$1"; }
shot "$work/start.png"
"$python" "$here/check_panes.py" "$work/start.png" "$(xdotool getwindowgeometry --shell "$wid" | tr '\n' ' ')"

xdotool mousemove --window "$wid" 300 300 click 1
sleep 1
kill -0 "$pid" || { echo "viewer ended after the click"; exit 1; }
xdotool search --name '^tiger\.emf \[[0-9]+ ms\]$' >/dev/null || { echo "title lost after the click"; exit 1; }
shot "$work/click.png"
[ -n "$shots" ] && cp "$work/start.png" "$work/click.png" "$shots/"

# File > Exit: Alt+F opens the File menu, x is Exit's mnemonic.
xdotool windowfocus --sync "$wid" || true
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key x
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then
  echo "File > Exit did not end the viewer"
  exit 1
fi
set +e
wait "$pid"
status=$?
set -e
echo "exit status $status"
exit $status
