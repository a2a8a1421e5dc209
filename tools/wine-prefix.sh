# Sourced by the scripts that run Windows programs: a private Wine prefix in a new scratch
# folder under a virtual screen of its own, with one server for the whole run, all removed on
# exit. Sets WORK (the scratch folder), WINEPREFIX and DISPLAY; kills the PIDS listed on exit.
# Usage: . tools/wine-prefix.sh WIDTHxHEIGHT
export WINEDEBUG=-all
# No .NET or HTML engine (their installers only slow the first start), and no menu entries
# on this machine for the shortcuts a Windows installer makes.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
WORK=$(mktemp -d)
export WINEPREFIX=$WORK/prefix
mkdir "$WINEPREFIX"
PIDS=()
wine_prefix_cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  rm -rf "$WORK"
}
trap wine_prefix_cleanup EXIT

Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -1 "$WORK/display")
export DISPLAY

wineserver -p >/dev/null 2>&1 </dev/null
wineboot -i >/dev/null 2>&1

# Waits up to twenty seconds for a top-level window whose name matches $1; prints its id.
wait_for_window() {
  local window=
  for _ in $(seq 100); do
    window=$(xdotool search --name "$1" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] && echo "$window"
}

# Starts the virtual box $1 on the prefix's COM5, logging the frames it receives to $2 (further
# arguments go to the box), and registers COM5 as a serial port of the system.
start_box_on_com5() {
  local box=$1 log=$2
  shift 2
  "$box" --link "$WINEPREFIX/dosdevices/com5" --log "$log" "$@" >/dev/null &
  PIDS+=($!)
  for _ in $(seq 50); do [ -e "$WINEPREFIX/dosdevices/com5" ] && break; sleep 0.1; done
  wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial4' /t REG_SZ /d COM5 /f \
    >/dev/null 2>&1
}

# Starts the Windows window $1 and waits until it shows; sets WINDOW to its id.
start_main_window() {
  wine "$1" >/dev/null 2>&1 &
  PIDS+=($!)
  WINDOW=$(wait_for_window '^PAT  ') || return 1
  sleep 1
}
