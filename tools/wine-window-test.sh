#!/usr/bin/env bash
# End-to-end check of the Windows window under Wine and Xvfb, in a private prefix whose COM5
# is the virtual box (a Linux build's pelmora-box, logging each frame it receives). The box
# falls silent after 48 frames: connecting (2), a Write to "Index 3" (24) and a Read of it (22).
# Usage: tools/wine-window-test.sh [WINDOWS_BUILD_DIR [PELMORA_BOX [SCREENSHOT.png]]]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/windows}/ui/win32/pelmora-align.exe")
box=$(realpath "${2:-build/ci/emulator/pelmora-box}")
screenshot=${3:-}

. tools/wine-prefix.sh 1920x1080
frames=$WORK/frames
fail() {
  echo "window test FAILED: $*" >&2
  exit 1
}

start_box_on_com5 "$box" "$frames" --silent-after 48
start_main_window "$exe" || fail "the window did not show"
window=$WINDOW

# Client coordinates of the controls, from the layout table.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
frame_count() { if [ -e "$frames" ]; then wc -l <"$frames"; else echo 0; fi; }
# Waits until the box has received `total` frames, then checks that no more follow.
expect_frames() {
  for _ in $(seq 100); do [ "$(frame_count)" -ge "$1" ] && break; sleep 0.1; done
  sleep 0.7
  [ "$(frame_count)" -eq "$1" ] || fail "$2: the box received $(frame_count) frames, not $1"
  echo "ok: $2"
}
frame() { sed -n "${1}p" "$frames" | awk '{print $2}'; }

# The caption ends in the project version from the version resource: 1.0.2.6 shows V1.026.
version=$(sed -n 's/^project(PelmoraAlign VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
IFS=. read -r major minor release build <<<"$version"
caption=$(xdotool getwindowname "$window")
[ "$caption" = "PAT  Pelmora Align Tool  V$major.$minor$release$build" ] ||
  fail "caption '$caption'"
echo "ok: caption '$caption'"
size=$(xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
[ "$size" = 762x337 ] || fail "client area $size"
echo "ok: client area $size"

click 707 50 # ComComboBox1: COM5 is the last port listed, above the network entry
xdotool key End Up Return
click 703 74 # CNTBTN
expect_frames 2 "Connect on COM5"
[ "$(frame 1) $(frame 2)" = "S00OPMR000 S00MDNR001" ] || fail "connect sent $(frame 1) $(frame 2)"

click 250 284 # Index 3
click 148 49  # TLX1Bar's right arrow: TLX1 is 1
click 588 294 # WriteBtn
expect_frames 26 "Write sends 24 frames"
[ "$(frame 4)" = S00XCA0001 ] || fail "the write stored $(frame 4) for TLX1"
click 148 49  # TLX1 is 2 here, 1 in the box
click 588 273 # ReadBtn
expect_frames 48 "Read of Index 3 sends 22 queries"
[ "$(frame 27)" = S00XCAR000 ] || fail "the read began with $(frame 27)"
[ -z "$screenshot" ] || import -window "$window" "$screenshot"

# The bars show what the box held: a saved file has TLX1 = 1. A file loaded back round trips:
# TLX1 is 2 when it is loaded, and a second save holds the same bytes.
choose_file() { # the dialog's title, the file's Linux path
  local dialog
  dialog=$(wait_for_window "^$1\$") || fail "no $1 dialog"
  xdotool mousemove --window "$dialog" 300 279 click 1 # its file name box
  xdotool key End shift+Home # over the name it offers
  xdotool type --delay 10 "Z:${2//\//\\}"
  xdotool key Return
}
saved() { # the file the dialog made; Wine adds the default extension in lower case
  for _ in $(seq 50); do
    for file in "$1.PMX" "$1.pmx"; do [ -s "$file" ] && echo "$file" && return; done
    sleep 0.1
  done
  fail "nothing saved as $1"
}
click 703 146 # TntButton1, Save Setting
choose_file "Save As" "$WORK/first"
first=$(saved "$WORK/first")
[ "$(head -c 6 "$first")" = KRDPMX ] && [ "$(stat -c %s "$first")" = 104 ] ||
  fail "the saved file is no alignment file"
[ "$(od -An -t d4 -j 16 -N 4 "$first" | tr -d ' ')" = 1 ] || fail "the read did not set TLX1"
echo "ok: the bars show the values read from the box"
click 148 49
click 703 171 # TntButton2, Load Setting
choose_file "Open" "$first"
click 703 146
choose_file "Save As" "$WORK/second"
cmp -s "$first" "$(saved "$WORK/second")" || fail "the loaded file did not round trip"
echo "ok: a file saved and loaded round trips"

click 588 273 # ReadBtn, to a box that no longer answers
start=$(date +%s%N)
for _ in $(seq 60); do
  xdotool search --name '^Pelmora Align Tool  $' >/dev/null 2>&1 && break
  sleep 0.1
done
elapsed=$((($(date +%s%N) - start) / 1000000))
xdotool search --name '^Pelmora Align Tool  $' >/dev/null 2>&1 || fail "no message box"
# Timed from outside the program, so only roughly: the watchdog's 2000 ms, not a moment of it.
[ "$elapsed" -ge 1800 ] || fail "the message box came after $elapsed ms"
echo "ok: a message box after $elapsed ms of silence"
echo "Window test passed."
