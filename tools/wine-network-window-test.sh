#!/usr/bin/env bash
# End-to-end check of a network port in the Windows window under Wine and Xvfb: the virtual
# box behind ser2net (RFC 2217 on loopback), the address entered through the port list's
# network entry, and Connect identifying the box over Winsock.
# Usage: tools/wine-network-window-test.sh [WINDOWS_BUILD_DIR [PELMORA_BOX [SCREENSHOT.png]]]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/windows}/ui/win32/pelmora-align.exe")
box=$(realpath "${2:-build/ci/emulator/pelmora-box}")
screenshot=${3:-}

. tools/wine-prefix.sh 1280x1024
fail() {
  echo "network window test FAILED: $*" >&2
  exit 1
}
frames=$WORK/frames
frame_count() { if [ -e "$frames" ]; then wc -l <"$frames"; else echo 0; fi; }

. tools/ser2net-box.sh
start_box_behind_ser2net "$box" "$WORK"

start_main_window "$exe" || fail "the window did not show"
window=$WINDOW
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# The list's last entry asks for a network port. A loaded machine may show the window before
# it takes input, so the choice is tried again if no question came.
dialog=
for _ in 1 2 3; do
  click 707 50 # ComComboBox1
  sleep 0.5    # until the list has dropped down
  xdotool key End Return
  for _ in $(seq 25); do
    dialog=$(xdotool search --name '^Pelmora Align Tool' 2>/dev/null | head -1) && [ -n "$dialog" ] && break
    sleep 0.2
  done
  [ -n "$dialog" ] && break
done
[ -n "$dialog" ] || fail "no dialog asked for the network port"
xdotool type --delay 10 "$ADDRESS"
[ -z "$screenshot" ] || import -window "$dialog" "$screenshot"
xdotool key Return
sleep 0.5
click 703 74 # CNTBTN
for _ in $(seq 100); do [ "$(frame_count)" -ge 2 ] && break; sleep 0.1; done
[ "$(awk '{printf "%s ", $2}' "$frames")" = "S00OPMR000 S00MDNR001 " ] ||
  fail "the box behind ser2net saw: $(awk '{printf "%s ", $2}' "$frames")"
echo "ok: the window connected to $ADDRESS over Winsock"
