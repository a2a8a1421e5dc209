#!/usr/bin/env bash
# The check mode of tools/run.sh, run on its display: starts the tool, waits for its window,
# picks the virtual box in the port list, connects once, then closes the window as a user
# would. Exits 0 when the box saw the two identification queries and the tool ended cleanly.
# Usage: tools/run-check.sh PROGRAM BOX_LOG PORT [SCREENSHOT.png]
set -euo pipefail
program=$1 box_log=$2 port=$3 screenshot=${4:-}

fail() {
  echo "run.sh check FAILED: $*" >&2
  exit 1
}
frame_count() { if [ -e "$box_log" ]; then wc -l <"$box_log"; else echo 0; fi; }

"$program" &
tool_pid=$!
trap 'kill "$tool_pid" 2>/dev/null || true' EXIT

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^PAT  ' | head -n 1) ||
  fail "the main window was not shown within 60 s"
echo "run.sh check: the window is shown: $(xdotool getwindowname "$window")"
sleep 1

# Client coordinates from the layout table: the port list, then the Connect button.
xdotool mousemove --window "$window" 704 50 click 1
sleep 1
xdotool type --delay 20 "$port"
xdotool key Return
sleep 0.3
xdotool mousemove --window "$window" 703 74 click 1
for _ in $(seq 50); do [ "$(frame_count)" -ge 2 ] && break; sleep 0.1; done
frames=$(awk '{printf "%s ", $2}' "$box_log" 2>/dev/null || true)
[ "$frames" = "S00OPMR000 S00MDNR001 " ] ||
  fail "the box did not see the two identification queries (it saw: ${frames:-nothing}); is $port in the port list?"
echo "run.sh check: Connect on $port identified the box"
[ -z "$screenshot" ] || import -window "$window" "$screenshot"

python3 "$(dirname "$0")/x11-close.py" "$window"
for _ in $(seq 100); do kill -0 "$tool_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$tool_pid" 2>/dev/null && fail "the tool did not end within 10 s of closing its window"
trap - EXIT
wait "$tool_pid" || fail "the tool ended with status $?"
echo "run.sh check: the window closed and the tool ended"
