#!/usr/bin/env bash
# End-to-end check of a network port in the window, on a display of its own: the virtual box
# behind ser2net (RFC 2217 on loopback), the address entered through the port list's network
# entry, Connect identifies the box, and the next start connects to it again unasked.
# Usage: tools/network-window-check.sh PELMORA_ALIGN PELMORA_BOX (run under xvfb-run);
# PELMORA_NETWORK_SCREENSHOT=FILE.png keeps a picture of the question.
set -euo pipefail
program=$(realpath "$1") box=$(realpath "$2")
tools=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "network window check FAILED: $*" >&2
  exit 1
}
frame_count() { if [ -e "$work/frames" ]; then wc -l <"$work/frames"; else echo 0; fi; }
expect_frames() {
  for _ in $(seq 50); do [ "$(frame_count)" -ge "$1" ] && break; sleep 0.1; done
  [ "$(frame_count)" -eq "$1" ] || fail "$2: the box received $(frame_count) frames, not $1"
  echo "ok: $2"
}

. "$tools/ser2net-box.sh"
start_box_behind_ser2net "$box" "$work"
address=$ADDRESS

# A portable copy: SYSTEM.INI lies beside the program.
mkdir "$work/tool"
cp "$program" "$work/tool/"
start_tool() {
  "$work/tool/$(basename "$program")" &
  tool=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^PAT  ' | head -n 1) ||
    fail "the main window was not shown"
  sleep 1
}
close_tool() {
  python3 "$tools/x11-close.py" "$window"
  for _ in $(seq 100); do kill -0 "$tool" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$tool" 2>/dev/null && fail "the tool did not end when its window closed"
  return 0
}

start_tool
xdotool mousemove --window "$window" 704 50 click 1 # the port list
sleep 0.5
xdotool key End Return # its last entry asks for a network port
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Pelmora Align Tool' | head -n 1) ||
  fail "no dialog asked for the network port"
xdotool key --window "$dialog" ctrl+a
xdotool type --delay 10 "$address"
if [ -n "${PELMORA_NETWORK_SCREENSHOT:-}" ]; then
  sleep 0.5
  import -window root -crop 780x420+0+0 "$PELMORA_NETWORK_SCREENSHOT"
fi
xdotool key Return
sleep 0.5
xdotool mousemove --window "$window" 703 74 click 1 # Connect
expect_frames 2 "Connect on $address identifies the box"
close_tool

tr -d '\0' <"$work/tool/SYSTEM.INI" | grep -qF "Port=$address" ||
  fail "SYSTEM.INI does not remember $address"
echo "ok: SYSTEM.INI remembers $address"
start_tool
xdotool mousemove --window "$window" 703 74 click 1 # Connect, on the port remembered
expect_frames 4 "the next start connects to $address again"
close_tool
