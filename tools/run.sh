#!/usr/bin/env bash
# Sets up a fresh machine, builds the tool and starts it. Unless PELMORA_NO_BOX=1 is set, a
# virtual box is started first and offered in the port list as /dev/ttyPMX0.
# Without a display, PELMORA_XVFB=1 starts the tool on a virtual one. PELMORA_RUN_CHECK=1 does
# all of that, then connects to the virtual box once and closes the window (tools/run-check.sh);
# PELMORA_RUN_SCREENSHOT=FILE.png keeps a screenshot of the connected window.
set -euo pipefail
cd "$(dirname "$0")/.."

port=/dev/ttyPMX0

box_wanted() {
  [ "${PELMORA_NO_BOX:-0}" != "1" ]
}
check_wanted() {
  [ "${PELMORA_RUN_CHECK:-0}" = "1" ]
}

fail() {
  echo "run.sh: $*" >&2
  exit 1
}

# Everything that can stop the start is checked before the build, which takes minutes.
launcher=()
if [ "${PELMORA_XVFB:-0}" = "1" ]; then
  launcher=(xvfb-run -a)
elif [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  fail "no display: run it in a desktop session, or set PELMORA_XVFB=1 for a virtual one"
fi
if check_wanted && ! box_wanted; then
  fail "PELMORA_RUN_CHECK=1 connects to the virtual box: leave PELMORA_NO_BOX unset"
fi

# The box runs as the invoking user, so its pty is that user's alone; only the link under
# /dev, where the port list looks, needs root.
as_root=()
if box_wanted && [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null || ! sudo -v; then
    fail "the virtual box needs root to link $port (no usable sudo): run as root, or set PELMORA_NO_BOX=1 to start without the box"
  fi
  as_root=(sudo)
fi

bash tools/setup.sh
if [ ${#launcher[@]} -gt 0 ] && ! command -v xvfb-run >/dev/null; then
  fail "PELMORA_XVFB=1 needs xvfb-run: install the xvfb package"
fi
cmake --preset default
cmake --build --preset default -j "$(nproc)"
programs=build/default/programs.env
[ -f "$programs" ] || fail "the build did not say where its programs are ($programs is missing)"
. "$programs"

box_dir=""
box_pid=""
pty=""
stop_box() {
  [ -z "$box_pid" ] || kill "$box_pid" 2>/dev/null || true
  if [ -n "$pty" ] && [ "$(readlink "$port" || true)" = "$pty" ]; then
    "${as_root[@]}" rm -f "$port"
  fi
  [ -z "$box_dir" ] || rm -rf "$box_dir"
}

if box_wanted; then
  box_dir=$(mktemp -d "${XDG_RUNTIME_DIR:-/tmp}/pelmora-box.XXXXXX")
  trap stop_box EXIT
  "$PELMORA_BOX" --link "$box_dir/tty" --model 200 --output-mode 2 --log "$box_dir/frames" &
  box_pid=$!
  for _ in $(seq 50); do
    if [ -L "$box_dir/tty" ] || ! kill -0 "$box_pid" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  pty=$(readlink "$box_dir/tty") || fail "the virtual box did not start (its message is above)"
  "${as_root[@]}" ln -sfn "$pty" "$port"
  echo "run.sh: the virtual box is on $port: pick it in the port list, then press Connect"
fi

[ -x "$PELMORA_ALIGN" ] || fail "the build made no program at $PELMORA_ALIGN"
if check_wanted; then
  "${launcher[@]}" bash tools/run-check.sh "$PELMORA_ALIGN" "$box_dir/frames" "$port" \
    "${PELMORA_RUN_SCREENSHOT:-}"
else
  "${launcher[@]}" "$PELMORA_ALIGN"
fi
