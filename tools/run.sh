#!/usr/bin/env bash
# Sets up a fresh machine, builds the tool and starts it. Unless PELMORA_NO_BOX=1 is set,
# a virtual box is started first on /dev/ttyPMX0, so the port list offers it at once.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

box_pid=""
if [ "${PELMORA_NO_BOX:-0}" != "1" ]; then
  # Links under /dev need root; the box drops nothing else.
  $sudo build/default/emulator/pelmora-box --link /dev/ttyPMX0 --model 200 --output-mode 2 &
  box_pid=$!
  trap '[ -n "$box_pid" ] && $sudo kill "$box_pid" 2>/dev/null || true' EXIT
  sleep 0.3
  # The tool opens the pty through the link; let the user's account reach it.
  [ -n "$sudo" ] && $sudo chmod o+rw "$(readlink -f /dev/ttyPMX0)" || true
fi

build/default/app/pelmora-align
