#!/usr/bin/env bash
# Runs every test suite: the Linux build, the AddressSanitizer + UndefinedBehaviorSanitizer build,
# the ThreadSanitizer build, a time-boxed fuzz run, and the Windows build under Wine.
# Installs what is missing first. KORVEL_FUZZ_SECONDS sets the fuzz run's length (default 120).
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh core sanitizers windows x11-tests art || exit 1

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

# Windows: CTest starts the prefix's persistent Wine server before the tests and stops it after
# them; the trap stops it too when the suite is interrupted or its build fails.
start=$(date +%s)
stop_wine() { KORVEL_WINEPREFIX="$PWD/build/windows/wineprefix" cmake/wine-run.sh --stop-server; }
trap 'stop_wine; exit 130' INT TERM
trap stop_wine EXIT
suite windows
stop_wine
echo "windows suite took $(( $(date +%s) - start )) s"

echo "=== summary"
for name in "${passed[@]}"; do echo "passed: $name"; done
for name in "${failed[@]}"; do echo "FAILED: $name"; done
echo "${#passed[@]} passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
