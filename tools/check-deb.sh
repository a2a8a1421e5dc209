#!/usr/bin/env bash
# Checks a .deb: its contents against packaging/deb-contents.txt, lintian's warnings, then,
# extracted into a scratch root, its menu entry, metadata, manual pages, UI.INI and
# dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$1

contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^/$' | sort)
if ! diff -u packaging/deb-contents.txt <(echo "$contents"); then
  echo "check-deb: the package's contents differ from packaging/deb-contents.txt" >&2
  exit 1
fi

if ! findings=$(lintian --fail-on error,warning "$deb" 2>&1); then
  echo "$findings" >&2
  echo "check-deb: lintian reports errors or warnings" >&2
  exit 1
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/pelmora-align.desktop"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/io.pelmora.aligntool.metainfo.xml"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  problems=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$problems" ] || { echo "$page: $problems" >&2; exit 1; }
done
head -c 2 "$root/usr/share/pelmora-align/UI.INI" | cmp -s - <(printf '\xff\xfe') ||
  { echo "check-deb: UI.INI has no UTF-16LE byte-order mark" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' ||
  { echo "check-deb: Depends misses the Qt libraries" >&2; exit 1; }
echo "check-deb: $deb is complete and valid"
