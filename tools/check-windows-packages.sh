#!/usr/bin/env bash
# Checks the Windows packages. The zip: its contents against packaging/windows/zip-contents.txt,
# a UTF-16LE UI.INI with the Windows faces, a read-me with CRLF lines. The installer, under Wine
# in a private prefix: a silent install puts the zip's files and an uninstaller into Program
# Files with a Start-menu entry and an uninstall entry; the program starts from that entry and
# shows its window, and closes; a silent uninstall leaves nothing behind.
# Usage: tools/check-windows-packages.sh ZIP INSTALLER
set -euo pipefail
cd "$(dirname "$0")/.."
zip=$(realpath "$1")
installer=$(realpath "$2")
fail() {
  echo "check-windows-packages: $*" >&2
  exit 1
}

diff -u packaging/windows/zip-contents.txt <(unzip -Z1 "$zip" | LC_ALL=C sort) ||
  fail "the zip's contents differ from packaging/windows/zip-contents.txt"
. tools/wine-prefix.sh 1024x768
unzip -q "$zip" -d "$WORK/zip"
portable="$WORK/zip/Pelmora Align Tool"
head -c 2 "$portable/UI.INI" | cmp -s - <(printf '\xff\xfe') || fail "UI.INI has no UTF-16LE mark"
fonts=$(iconv -f UTF-16 -t UTF-8 "$portable/UI.INI" | tr -d '\r' | sed -n 's/^Font=//p' | sort)
[ "$fonts" = "$(printf 'Malgun Gothic\nMicrosoft YaHei UI\nYu Gothic UI')" ] ||
  fail "UI.INI names the faces '$fonts'"
[ "$(grep -c $'\r$' "$portable/README.txt")" = "$(wc -l <"$portable/README.txt")" ] ||
  fail "README.txt has lines without CR"
echo "ok: the zip holds $(unzip -Z1 "$zip" | grep -c '[^/]$') files"

wine "$installer" /S
folder="$WINEPREFIX/drive_c/Program Files/Pelmora Align Tool"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pelmora Align Tool.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PelmoraAlignTool'
diff -u <( (ls "$portable"; echo Uninstall.exe) | LC_ALL=C sort) <(ls "$folder" | LC_ALL=C sort) ||
  fail "the installed files differ from the zip's and an uninstaller"
cmp -s "$portable/pelmora-align.exe" "$folder/pelmora-align.exe" || fail "another program installed"
[ -f "$shortcut" ] || fail "no Start-menu entry"
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry"
version=$(wine 'C:\Program Files\Pelmora Align Tool\pelmora-cli.exe' --version | tr -d '\r')
[[ "$version" == *"$(sed -n 's/^project(PelmoraAlign VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"* ]] ||
  fail "the installed pelmora-cli says '$version'"
echo "ok: installed silently into Program Files with a Start-menu entry; $version"

wine start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Pelmora Align Tool.lnk'
window=$(wait_for_window '^PAT  ') || fail "the installed program showed no window"
echo "ok: the Start-menu entry starts the program: '$(xdotool getwindowname "$window")'"
wine taskkill /im pelmora-align.exe >/dev/null 2>&1
for _ in $(seq 100); do pgrep -f 'Tool.pelmora-align' >/dev/null || break; sleep 0.1; done
! pgrep -f 'Tool.pelmora-align' >/dev/null || fail "the program did not close"

# The uninstaller runs from a copy of itself and returns at once.
wine 'C:\Program Files\Pelmora Align Tool\Uninstall.exe' /S
for _ in $(seq 100); do [ -e "$folder" ] || break; sleep 0.1; done
[ ! -e "$folder" ] || fail "left after uninstalling: $(ls "$folder")"
[ ! -e "$shortcut" ] || fail "the Start-menu entry stays after uninstalling"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry stays after uninstalling"
echo "check-windows-packages: $(basename "$zip") and $(basename "$installer") are complete and work"
