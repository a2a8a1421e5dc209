#!/usr/bin/env bash
# Runs the Windows build's tests under Wine, in a private prefix whose COM ports are
# pseudo-terminals: COM5 is the virtual box (a Linux build's pelmora-box), COM6 the serial
# tests' line peer, and COM10 and com2 are listed without a device, for the port list's order.
# The window's tests run once more at 144 dots per inch. pelmora-cli.exe reads the box into a
# file whose name mixes three scripts and shows it. Then checks the window end to end
# (tools/wine-window-test.sh), a drag in its diagram (tools/wine-diagram-drag-test.sh), the
# diagram window on a 1280 x 720 screen (tools/wine-diagram-screen-test.sh) and a network port
# entered in the window (tools/wine-network-window-test.sh).
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
# A file name in Latin, Cyrillic and CJK letters, given in UTF-8 on the command line, names the
# file on disk as it is, new and replaced, and reaches `show`: TLX1 written as 7, read back
# twice and shown.
cli=$(realpath "$build/cli/pelmora-cli.exe")
name='Łódź-Жук-日本.PMX'
mkdir "$WORK/cli"
(
  cd "$WORK/cli"
  export LC_ALL=C.UTF-8 # Wine turns the arguments into UTF-16 in the locale's character set
  timeout 60 wine "$cli" read --port COM5 --slot 3 -o seed.PMX >/dev/null
  printf '\x07\x00\x00\x00' | dd of=seed.PMX bs=1 seek=16 conv=notrunc status=none
  timeout 60 wine "$cli" write --port COM5 --slot 3 seed.PMX >/dev/null
  for _ in new replaced; do
    timeout 60 wine "$cli" read --port COM5 --slot 3 -o "$name" | tr -d '\r' | grep -qF "$name"
  done
  [ "$(ls)" = "$(printf 'seed.PMX\n%s' "$name")" ] || { echo "files made: $(ls)" >&2; exit 1; }
  cmp -s seed.PMX "$name" || { echo "$name differs from what was written" >&2; exit 1; }
  timeout 60 wine "$cli" show "$name" | tr -d '\r' | grep -qx 'TLX1  7' ||
    { echo "show printed no TLX1 of 7" >&2; exit 1; }
)
echo "ok: pelmora-cli.exe reads the box into $name and shows it"
# The window's tests again with the display at 144 dots per inch (150 %), which Wine takes from
# the user's LogPixels.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
PELMORA_EXPECT_DPI=144 ctest --test-dir "$build" --output-on-failure -L win32 -j "$(nproc)"
# The window in a prefix of its own, under a virtual screen.
tools/wine-window-test.sh "$build" "$box"
tools/wine-diagram-drag-test.sh "$build" "$box"
tools/wine-diagram-screen-test.sh "$build"
tools/wine-network-window-test.sh "$build" "$box"
