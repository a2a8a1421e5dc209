#!/usr/bin/env bash
# End-to-end drag in the Windows face's diagram window under Wine and Xvfb: with "Real Time"
# ticked, TV4's top-right handle is pulled about 100 units left and 50 down with xdotool, and
# the virtual box on COM5 must receive the corner's last position.
# Usage: tools/wine-diagram-drag-test.sh [WINDOWS_BUILD_DIR [PELMORA_BOX]]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/windows}/ui/win32/pelmora-align.exe")
box=$(realpath "${2:-build/ci/emulator/pelmora-box}")

. tools/wine-prefix.sh 1920x1080
frames=$WORK/frames
fail() {
  echo "diagram drag test FAILED: $*" >&2
  exit 1
}

start_box_on_com5 "$box" "$frames"
start_main_window "$exe" || fail "the window did not show"
window=$WINDOW

# Client coordinates of the controls, from the layout table.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
click 707 50 # ComComboBox1: COM5 is the last port listed, above the network entry
xdotool key End Up Return
click 703 74 # CNTBTN
for _ in $(seq 100); do [ -s "$frames" ] && [ "$(wc -l <"$frames")" -ge 2 ] && break; sleep 0.1; done
click 703 117 # RealTimeMode
click 703 102 # ImgOn: the diagram window shows

# The diagram window is the other visible window; Wine draws its frame inside it, so the
# client area lies at the bottom centre of the window's 496 x 290 plus the frame.
diagram=
for _ in $(seq 50); do
  diagram=$(xdotool search --onlyvisible --name '^$' 2>/dev/null |
    while read -r w; do
      size=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p')
      [ "${size%x*}" -lt 600 ] && echo "$w"
    done | head -1) && [ -n "$diagram" ] && break
  sleep 0.2
done
[ -n "$diagram" ] || fail "no diagram window"
size=$(xdotool getwindowgeometry "$diagram" | sed -n 's/.*Geometry: //p')
border=$(((${size%x*} - 496) / 2))
top=$((${size#*x} - 290 - border))
# TV4's top-right handle (drawn last, on top) at logical (1920, 0): picture pixel (467, 4),
# the picture at (7, 9) in the client area. 24 pixels are 100.8 units, 12 are 50.4.
x=$((border + 7 + 467))
y=$((top + 9 + 4))
xdotool mousemove --window "$diagram" "$x" "$y" mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove --window "$diagram" $((x - 4 * step)) $((y + 2 * step))
  sleep 0.05
done
xdotool mouseup 1
sleep 1.5

last=$(tail -2 "$frames" | awk '{print $2}' | tr '\n' ' ')
read -r u v <<<"$last"
[ "${u:0:6}" = S00UAD ] && [ "${v:0:6}" = S00VAD ] || fail "the box received $last"
ux=$((10#${u:6:4}))
vy=$((10#${v:6:4}))
[ "$ux" -ge 1815 ] && [ "$ux" -le 1823 ] && [ "$vy" -ge 45 ] && [ "$vy" -le 55 ] ||
  fail "the corner went to ($ux, $vy)"
echo "ok: the drag moved TV4's top-right corner to ($ux, $vy) and the box received it"
