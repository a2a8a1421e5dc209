#!/usr/bin/env bash
# Builds every package and prints their paths, one a line: the Linux package (.deb) in a Linux
# build folder (default build/package, configured when new as an optimised build with Debian's
# hardening flags; warnings are the ci build's business; CPack strips the programs), then the
# Windows zip and installer in a Windows build folder (default build/windows, configured from
# the windows preset when new).
# Usage: tools/package.sh [LINUX_BUILD [WINDOWS_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build/package}
windows=${2:-build/windows}
jobs=${PELMORA_JOBS:-$(nproc)}

if [ ! -f "$linux/CMakeCache.txt" ]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
    cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$linux" -j "$jobs" --target pelmora-align pelmora-cli pelmora-box \
  pelmora_package_data >/dev/null
rm -f "$linux"/pelmora-align_*.deb
(cd "$linux" && cpack -G DEB >/dev/null)
ls "$linux"/pelmora-align_*.deb

if [ ! -f "$windows/CMakeCache.txt" ]; then
  cmake --preset windows -B "$windows" >/dev/null
fi
cmake --build "$windows" -j "$jobs" --target pelmora_windows_packages >/dev/null
ls "$windows"/packaging/windows/pelmora-align-*-windows-x64.zip \
  "$windows"/packaging/windows/pelmora-align-*-windows-x64-setup.exe
