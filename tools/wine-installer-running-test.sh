#!/usr/bin/env bash
# Checks the installer and uninstaller against a running tool, under Wine in a private prefix.
# Installed through its pages, the finish page starts the tool (through the shell). With the
# tool running from its installed folder: a silent install fails with exit code 2 and
# leaves every installed file and the uninstall entry as they were; an interactive install asks
# for the tool to be closed and, cancelled, ends with exit code 1; a silent uninstall removes
# what it can and ends with exit code 3010, the running program listed for the next restart.
# A program file in use without a window (pelmora-cli.exe in a slow read) fails a silent install
# rather than being skipped.
# Usage: tools/wine-installer-running-test.sh INSTALLER PELMORA_BOX
set -euo pipefail
cd "$(dirname "$0")/.."
installer=$(realpath "$1")
box=$(realpath "$2")
fail() {
  echo "installer test FAILED: $*" >&2
  exit 1
}
. tools/wine-prefix.sh 1024x768

target='C:\pat-check'
folder="$WINEPREFIX/drive_c/pat-check"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PelmoraAlignTool'
# Runs a Windows program for at most a minute; prints its exit code in full (the shell's $? keeps
# only its low eight bits).
exit_code() {
  printf '@%s\r\n@echo %%ERRORLEVEL%%\r\n' "$*" >"$WORK/run.bat"
  { timeout 60 wine cmd /c "$(winepath -w "$WORK/run.bat")" 2>/dev/null || true; } |
    tr -d '\r' | tail -1
}
# Every installed file's inode, size, modification and change times, and content.
snapshot() {
  (cd "$folder" && for f in *; do echo "$f $(stat -c '%i %s %Y %Z' "$f") $(sha256sum <"$f")"; done)
}

# Installed through its pages: Enter presses Install, then Finish with its Run box ticked.
wine "$installer" "/D=$target" >/dev/null 2>&1 &
setup=$!
wait_for_window '^Pelmora Align Tool Setup' >/dev/null || fail "the installer showed no window"
sleep 1
for _ in $(seq 30); do
  kill -0 $setup 2>/dev/null || break
  [ -e "$folder/Uninstall.exe" ] && sleep 1
  xdotool key Return
  sleep 1
done
! kill -0 $setup 2>/dev/null || fail "the installer did not finish"
wait_for_window '^PAT  ' >/dev/null || fail "the finish page did not start the tool"
echo "ok: installed through the pages; the finish page starts the tool"
wine taskkill /im pelmora-align.exe >/dev/null 2>&1
for _ in $(seq 100); do pgrep -f 'pat-check.pelmora-align' >/dev/null || break; sleep 0.1; done

# The box answers each query after half a second: a read of a slot takes over ten seconds.
start_box_on_com5 "$box" "$WORK/frames" --reply-delay 500
wine "$folder/pelmora-cli.exe" read --port COM5 --slot 1 >/dev/null 2>&1 &
cli=$!
PIDS+=($cli)
for _ in $(seq 50); do [ -s "$WORK/frames" ] && break; sleep 0.1; done
[ -s "$WORK/frames" ] || fail "pelmora-cli.exe did not start its read"
code=0
timeout 60 wine "$installer" /S "/D=$target" || code=$?
[ "$code" != 0 ] || fail "a silent install over a program in use succeeded"
kill "$cli" 2>/dev/null || true
wine taskkill /f /im pelmora-cli.exe >/dev/null 2>&1 || true
echo "ok: a silent install over a program file in use fails (exit code $code)"
wine "$folder/pelmora-align.exe" >/dev/null 2>&1 &
PIDS+=($!)
wait_for_window '^PAT  ' >/dev/null || fail "the installed program showed no window"
before=$(snapshot)
# A version that only this check writes: an install that got through would overwrite it.
wine reg add "$key" /v DisplayVersion /d running-check /f >/dev/null 2>&1

sleep 1.1 # a file rewritten now would have a new change time
code=$(exit_code "\"$(winepath -w "$installer")\" /S /D=$target")
[ "$code" = 2 ] || fail "a silent install over the running tool ended with '$code', not 2"
[ "$(snapshot)" = "$before" ] || fail "the silent install changed files: $(diff <(echo "$before") <(snapshot))"
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q running-check ||
  fail "the silent install rewrote the uninstall entry"
echo "ok: a silent install over the running tool ends with exit code 2 and changes nothing"

wine "$installer" "/D=$target" >/dev/null 2>&1 &
setup=$!
PIDS+=($setup)
box=$(wait_for_window '^Pelmora Align Tool Setup$') || fail "the interactive install asked nothing"
xdotool key Escape
code=0
timeout 30 tail --pid=$setup -f /dev/null || fail "the cancelled install did not end"
wait $setup || code=$?
[ "$code" = 1 ] || fail "the cancelled install ended with $code, not 1"
[ "$(snapshot)" = "$before" ] || fail "the cancelled install changed files"
echo "ok: an interactive install asks for the tool to be closed; cancelled, it ends with exit code 1"

# The uninstaller's own copy outside the folder, as it makes one itself, returns its exit code.
cp "$folder/Uninstall.exe" "$WORK/uninstall.exe"
code=$(exit_code "\"$(winepath -w "$WORK/uninstall.exe")\" /S _?=$target")
[ "$code" = 3010 ] || fail "a silent uninstall while the tool runs ended with '$code', not 3010"
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
[[ "$pending" == *'pelmora-align.exe'* ]] || fail "the running program is not left to the restart"
left=$(ls "$folder" | tr '\n' ' ')
[ "$left" = "pelmora-align.exe " ] || fail "the uninstall left '$left'"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry stays"
echo "ok: a silent uninstall while the tool runs ends with exit code 3010, the program left to the restart"

wine taskkill /im pelmora-align.exe >/dev/null 2>&1 || true
echo "Installer test passed."
