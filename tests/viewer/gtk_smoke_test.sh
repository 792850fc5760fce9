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

for tool in Xvfb xdotool xwd convert; do
  command -v "$tool" >/dev/null || { echo "$tool not found: skipped"; exit 77; }
done
# Debian's Python, which has the imaging module (scripts/install-deps.sh).
python=/usr/bin/python3
"$python" -c 'import PIL' 2>/dev/null || { echo "python3-pil not found: skipped"; exit 77; }

if [ -z "${VELMORA_SMOKE_INNER:-}" ]; then
  export VELMORA_SMOKE_INNER=1
  exec timeout 110 "$0" "$@"
fi

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pid=""
xvfb=""
trap 'kill $pid $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$samples/tiger.emf" "$work/"
cd "$work"

# A display of our own: Xvfb takes a free number itself and writes it only
# once it accepts clients, so no other server's start or end can race it.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 1 100); do
  [ "$(wc -l <"$work/display")" -ge 1 ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
  sleep 0.1
done
[ "$(wc -l <"$work/display")" -ge 1 ] || { echo "Xvfb gave no display"; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
xdotool getdisplaygeometry >/dev/null || { echo "display $DISPLAY does not answer"; exit 1; }

# GTK and its libraries keep allocations to the end of the process; in a
# sanitiser build they would be reported as leaks (the headless tests check
# the window layer's own objects). Settings stay in memory: no session bus.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" GSETTINGS_BACKEND=memory VELMORA_WINDOW_BACKEND=gtk "$viewer" >"$work/viewer.log" 2>&1 &
pid=$!

# Why the viewer ended, with what it printed.
ended() {
  echo "$1"
  set +e
  wait "$pid"
  echo "viewer's exit status $?; it printed:"
  cat "$work/viewer.log"
  exit 1
}

# The window, once its first repaint has put the time into the title.
wid=""
for _ in $(seq 1 150); do
  wid=$(xdotool search --name '^tiger\.emf \[[0-9]+ ms\]$' 2>/dev/null | head -1 || true)
  [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || ended "viewer ended early"
  sleep 0.2
done
[ -n "$wid" ] || { echo "no window titled tiger.emf [N ms]"; exit 1; }
echo "title: $(xdotool getwindowname "$wid")"
sleep 0.5

shot() { xwd -root -silent | convert xwd:- "png:$1"; }
# On a busy machine the server may show the painted panes a moment after
# the title changed: look again a few times before calling them empty.
panes_checked=""
for _ in 1 2 3 4 5; do
  shot "$work/start.png"
  if "$python" "$here/check_panes.py" "$work/start.png" "$(xdotool getwindowgeometry --shell "$wid" | tr '\n' ' ')"; then
    panes_checked=1
    break
  fi
  sleep 1
done
[ -n "$panes_checked" ] || exit 1

xdotool mousemove --window "$wid" 300 300 click 1
sleep 1
kill -0 "$pid" 2>/dev/null || ended "viewer ended after the click"
xdotool search --name '^tiger\.emf \[[0-9]+ ms\]$' >/dev/null || { echo "title lost after the click"; exit 1; }
shot "$work/click.png"
[ -n "$shots" ] && cp "$work/start.png" "$work/click.png" "$shots/"

# File > Exit: Alt+F opens the File menu, x is Exit's mnemonic. A busy
# machine may open the menu after the x has gone by, so a try that leaves
# the viewer running is closed with Escape and made again.
exit_tries=0
while kill -0 "$pid" 2>/dev/null && [ "$exit_tries" -lt 3 ]; do
  exit_tries=$((exit_tries + 1))
  xdotool windowfocus --sync "$wid" || true
  xdotool key --clearmodifiers alt+f
  sleep $((exit_tries))
  xdotool key x
  for _ in $(seq 1 25); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$pid" 2>/dev/null && { echo "File > Exit try $exit_tries left the viewer running"; xdotool key Escape Escape; }
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
[ "$status" -eq 0 ] || cat "$work/viewer.log"
exit $status
