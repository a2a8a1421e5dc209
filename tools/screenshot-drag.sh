#!/bin/bash
# Takes docs/diagram-drag.png: the main window and the diagram window beside it while TV4's
# top-right handle is dragged, under a virtual screen of its own.
# Usage: tools/screenshot-drag.sh PELMORA_ALIGN OUTPUT.png
set -euo pipefail
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

cp "$1" "$work/pelmora-align"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
(cd "$work" && QT_QPA_PLATFORM=xcb ./pelmora-align >/dev/null 2>&1) &
pids+=($!)

main=$(xdotool search --sync --name '^PAT ' | head -1)
xdotool windowmove --sync "$main" 0 0
xdotool mousemove --window "$main" 705 102 click 1 # the Diagram check box
sleep 1
diagram=
for _ in $(seq 50); do
  for window in $(xdotool search --onlyvisible --class pelmora-align); do
    [ "$(xdotool getwindowgeometry "$window" | grep -o '[0-9]*x[0-9]*$')" = 496x290 ] &&
      diagram=$window
  done
  [ -n "$diagram" ] && break
  sleep 0.2
done
xdotool windowmove --sync "$diagram" 770 0
sleep 0.5
# TV4's top-right handle (drawn last, so on top) at logical (1920, 0): picture pixel
# (467, 4), the picture standing at (7, 9) in its window.
xdotool mousemove --window "$diagram" 474 13 mousedown 1
for step in $(seq 1 10); do
  xdotool mousemove --window "$diagram" $((474 - 6 * step)) $((13 + 5 * step))
  sleep 0.15
done
sleep 0.5
import -window root -crop 1270x340+0+0 "$2"
xdotool mouseup 1
