#!/usr/bin/env bash
# Builds the Linux package (.deb) in a build folder (default build/package, configured when
# new as an optimised build with Debian's hardening flags; warnings are the ci build's
# business) and prints its path. CPack strips the programs.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/package}
if [ ! -f "$build/CMakeCache.txt" ]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
targets=(pelmora-align pelmora-box pelmora_package_data)
if grep -q '^build pelmora-cli:' "$build/build.ninja"; then
  targets+=(pelmora-cli)
fi
cmake --build "$build" -j "${PELMORA_JOBS:-$(nproc)}" --target "${targets[@]}" >/dev/null
rm -f "$build"/pelmora-align_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/pelmora-align_*.deb
