#!/usr/bin/env bash
# Sets up a fresh machine, then builds and runs the whole suite twice (a release build with
# warnings as errors, and an AddressSanitizer + UndefinedBehaviorSanitizer build), runs
# README's first command in its check mode, a network port entered in the window and README's
# example session, builds the Windows programs and runs their tests under Wine against the
# virtual box, makes and checks the packages of both systems (the installer also against a
# running tool), runs the fuzz targets for a while and checks that the benchmarks still run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

echo "=== format ==="
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

jobs=$(nproc)
fuzz_seconds=${PELMORA_FUZZ_SECONDS:-30}

for preset in ci asan; do
  echo "=== $preset build ==="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "=== README's first command, in its check mode ==="
PELMORA_XVFB=1 PELMORA_RUN_CHECK=1 bash tools/run.sh
echo "=== a network port entered in the window, through ser2net ==="
xvfb-run -a tools/network-window-check.sh build/ci/ui/qt/pelmora-align build/ci/emulator/pelmora-box
echo "=== README's example session and shape checks ==="
python3 tools/check-readme.py build/default

echo "=== windows build, tests under Wine ==="
cmake --preset windows
cmake --build --preset windows -j "$jobs"
tools/wine-test.sh build/windows build/ci/emulator/pelmora-box

echo "=== packages ==="
packages=$(tools/package.sh build/ci build/windows)
tools/check-deb.sh "$(grep '\.deb$' <<<"$packages")"
tools/check-windows-packages.sh "$(grep '\.zip$' <<<"$packages")" "$(grep 'setup\.exe$' <<<"$packages")"
tools/wine-installer-running-test.sh "$(grep 'setup\.exe$' <<<"$packages")" build/ci/emulator/pelmora-box

echo "=== fuzz targets (${fuzz_seconds} s each) ==="
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs" --target fuzz_targets
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  mkdir -p "build/fuzz/corpus/$(basename "$target")"
  "$target" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    "build/fuzz/corpus/$(basename "$target")"
done

echo "=== benchmarks (quick) ==="
# The toolkit wants a runtime folder of the user's own (mode 0700); a CI machine has none.
bench_runtime=$(mktemp -d)
trap 'rm -rf "$bench_runtime"' EXIT
for bench in $(find build/ci/bench -maxdepth 1 -type f -executable | sort); do
  echo "--- $(basename "$bench")"
  XDG_RUNTIME_DIR=$bench_runtime PELMORA_BENCH_QUICK=1 QT_QPA_PLATFORM=offscreen "$bench"
done

echo "All builds, tests, fuzz runs and benchmarks passed."
