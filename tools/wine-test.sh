#!/usr/bin/env bash
# Runs the Windows build's tests under Wine, in a private prefix whose COM ports are
# pseudo-terminals: COM5 is the virtual box (a Linux build's pelmora-box), COM6 the serial
# tests' line peer, and COM10 and com2 are listed without a device, for the port list's order.
# The window's tests run once more at 144 dots per inch. Then checks the window end to end
# (tools/wine-window-test.sh) and a drag in its diagram (tools/wine-diagram-drag-test.sh).
# Usage: tools/wine-test.sh [WINDOWS_BUILD_DIR [PELMORA_BOX]]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
box=$(realpath "${2:-build/ci/emulator/pelmora-box}")

. tools/wine-prefix.sh 1280x1024

dosdevices=$WINEPREFIX/dosdevices
"$box" --link "$dosdevices/com5" >/dev/null &
PIDS+=($!)
python3 tests/serial/win32/line_peer.py "$dosdevices/com6" &
PIDS+=($!)
for link in com5 com6; do
  for _ in $(seq 50); do [ -e "$dosdevices/$link" ] && break; sleep 0.1; done
done
list_port() {
  wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "$1" /t REG_SZ /d "$2" /f >/dev/null
}
list_port '\Device\Serial4' COM5
list_port '\Device\Serial5' COM6
list_port '\Device\Serial9' COM10
list_port '\Device\Serial1' com2

export PELMORA_BOX_PORT=COM5 PELMORA_PEER_PORT=COM6
ctest --test-dir "$build" --output-on-failure -LE serial -j "$(nproc)"
# The serial tests share the two ports, so they run one at a time.
ctest --test-dir "$build" --output-on-failure -L serial
# The window's tests again with the display at 144 dots per inch (150 %), which Wine takes from
# the user's LogPixels.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
PELMORA_EXPECT_DPI=144 ctest --test-dir "$build" --output-on-failure -L win32 -j "$(nproc)"
# The window in a prefix of its own, under a virtual screen.
tools/wine-window-test.sh "$build" "$box"
tools/wine-diagram-drag-test.sh "$build" "$box"
