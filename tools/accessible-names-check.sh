#!/bin/bash
# The accessible names of the Qt face as a screen reader sees them over AT-SPI: the program,
# copied into a scratch folder with a two-language UI.INI, runs under a virtual screen of its
# own in a private D-Bus session.
# Usage: tools/accessible-names-check.sh PELMORA_ALIGN
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

cp "$1" "$work/pelmora-align"
/usr/bin/python3 - "$work/UI.INI" <<'PY'
import sys
text = ("[English]\r\n[Deutsch]\r\nStr1=Ausgang1\r\nStr22=Oben links\r\nStr23=Oben rechts\r\n"
        "Str5=Verzerrung\r\nStr25=Schleifenzeit\r\n")
open(sys.argv[1], "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
PY

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
# Debian's own interpreter, which has the AT-SPI bindings.
dbus-run-session -- /usr/bin/python3 "$here/accessible-names-check.py" "$work/pelmora-align"
