#!/usr/bin/env bash
# Runs every test suite: the Linux build, the AddressSanitizer + UndefinedBehaviorSanitizer build,
# the ThreadSanitizer build, a time-boxed fuzz run, and the Windows build under Wine.
# Installs what is missing first. KORVEL_FUZZ_SECONDS sets the fuzz run's length (default 120).
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh core sanitizers windows art || exit 1

jobs=$(nproc)
failed=()
passed=()

# Configures, builds and tests one preset.
suite() {
  local preset=$1
  shift
  echo "=== $preset: build"
  if ! cmake --preset "$preset" "$@" >/dev/null || ! cmake --build --preset "$preset" -j"$jobs"; then
    failed+=("$preset (build)")
    return
  fi
  echo "=== $preset: test"
  if ctest --preset "$preset" -j"$jobs"; then passed+=("$preset"); else failed+=("$preset"); fi
}

suite default
suite asan
suite tsan
suite fuzz "-DKORVEL_FUZZ_SECONDS=${KORVEL_FUZZ_SECONDS:-120}"

# Windows: one warm-up process starts the Wine server before CTest runs the test programs.
start=$(date +%s)
mkdir -p build/windows
(cd build/windows && ../../cmake/wine-run.sh cmd /c exit) >/dev/null 2>&1
suite windows
WINEPREFIX="$PWD/build/windows/wineprefix" wineserver -k >/dev/null 2>&1 || true
echo "windows suite took $(( $(date +%s) - start )) s"

echo "=== summary"
for name in "${passed[@]}"; do echo "passed: $name"; done
for name in "${failed[@]}"; do echo "FAILED: $name"; done
echo "${#passed[@]} passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
