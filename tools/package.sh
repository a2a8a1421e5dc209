#!/usr/bin/env bash
# Builds the Linux package (.deb) in a build folder (default build/package, configured when
# new as a release build with Debian's hardening flags) and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/package}
if [ ! -f "$build/CMakeCache.txt" ]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_WERROR=ON >/dev/null
fi
targets=(pelmora-align pelmora-box pelmora_package_data)
if grep -q '^build pelmora-cli:' "$build/build.ninja"; then
  targets+=(pelmora-cli)
fi
cmake --build "$build" -j "${PELMORA_JOBS:-$(nproc)}" --target "${targets[@]}" >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/pelmora-align_*.deb
