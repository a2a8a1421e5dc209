#!/usr/bin/env bash
# The Windows face's diagram window on a small screen under Wine and Xvfb: on 1280 x 720, where
# its tabled left of 1292 lies off the screen, it opens wholly on the screen.
# Usage: tools/wine-diagram-screen-test.sh [WINDOWS_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/windows}/ui/win32/pelmora-align.exe")

. tools/wine-prefix.sh 1280x720
fail() {
  echo "diagram screen test FAILED: $*" >&2
  exit 1
}
start_main_window "$exe" || fail "the window did not show"
xdotool mousemove --window "$WINDOW" 703 102 click 1 # ImgOn: the diagram window shows

# The diagram window is the one without a name, of its size. Wine maps no window that lies
# wholly off the screen, so it is waited for as shown for three seconds at most.
diagram=
for _ in $(seq 30); do
  diagram=$(xdotool search --name '^$' 2>/dev/null |
    while read -r w; do
      size=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p')
      [ "${size%x*}" -gt 100 ] && [ "${size%x*}" -lt 600 ] && echo "$w"
    done | head -1)
  [ -n "$diagram" ] && xwininfo -id "$diagram" | grep -q IsViewable && break
  sleep 0.1
done
[ -n "$diagram" ] || fail "no diagram window"
read -r x y w h < <(xwininfo -id "$diagram" |
  awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
       /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}')
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 720 ] ||
  fail "the diagram window lies at ($x, $y) with size ${w}x$h"
echo "ok: the diagram window lies at ($x, $y) with size ${w}x$h, wholly on the 1280 x 720 screen"
