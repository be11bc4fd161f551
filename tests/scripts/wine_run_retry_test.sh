#!/usr/bin/env bash
# Checks the Wine runner against stand-ins for wine and wineserver: a program that could not reach
# the server, or that failed before it printed anything, runs once more; a program that really fails,
# fails with its own status, and only once.
set -euo pipefail
runner=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/prefix"
touch "$work/prefix/.korvel-ready"

cat >"$work/bin/wine" <<'STANDIN'
#!/bin/sh
[ "$1" = cmd ] && exit 0  # the warm-up that follows a new server
echo run >>"$STANDIN_LOG"
if [ -n "${LOSE_FIRST:-}" ] && [ "$(wc -l <"$STANDIN_LOG")" -eq 1 ]; then
  echo "wine: a wine server seems to be running, but I cannot connect to it." >&2
  exit 1
fi
if [ -n "${SILENT_FAILURES:-}" ] && [ "$(wc -l <"$STANDIN_LOG")" -le "$SILENT_FAILURES" ]; then
  exit 1
fi
echo "ran $*"
echo "$DISPLAY" >"$STANDIN_LOG.display"
exit "${PROGRAM_STATUS:-0}"
STANDIN
printf '#!/bin/sh\necho "server $*" >>"$STANDIN_LOG.server"\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"
# The stand-ins need no X server: the runner is given a display instead of starting its own.
export PATH="$work/bin:$PATH" KORVEL_WINEPREFIX="$work/prefix" STANDIN_LOG="$work/log" KORVEL_WINE_DISPLAY=:42

fail() { echo "FAILED: $*" >&2; exit 1; }
runs() { wc -l <"$STANDIN_LOG"; }

# A lost server connection: one retry, the program's output and status come through.
: >"$STANDIN_LOG"
output=$(LOSE_FIRST=1 "$runner" program a b 2>/dev/null) || fail "retry did not succeed"
[ "$output" = "ran program a b" ] || fail "output after retry: $output"
[ "$(runs)" -eq 2 ] || fail "expected 2 runs after a lost connection, got $(runs)"
grep -q -- '-p' "$STANDIN_LOG.server" || fail "no persistent server was asked for"
[ "$(cat "$STANDIN_LOG.display")" = :42 ] || fail "the program ran without the display it was given"

# A real failure: its status, no retry.
: >"$STANDIN_LOG"
status=0
PROGRAM_STATUS=7 "$runner" program >/dev/null 2>&1 || status=$?
[ $status -eq 7 ] || fail "expected status 7, got $status"
[ "$(runs)" -eq 1 ] || fail "a real failure ran $(runs) times"

# After the retry, the program's own failure is what counts.
: >"$STANDIN_LOG"
status=0
LOSE_FIRST=1 PROGRAM_STATUS=3 "$runner" program >/dev/null 2>&1 || status=$?
[ $status -eq 3 ] || fail "expected the retried program's status 3, got $status"
# A program that failed before it printed anything: one retry, the retried program's output and status.
: >"$STANDIN_LOG"
output=$(SILENT_FAILURES=1 PROGRAM_STATUS=0 "$runner" program c 2>/dev/null) || fail "retry after a silent failure did not succeed"
[ "$output" = "ran program c" ] || fail "output after a silent failure: $output"
[ "$(runs)" -eq 2 ] || fail "expected 2 runs after a silent failure, got $(runs)"

# A program that always fails silently still fails, after one retry.
: >"$STANDIN_LOG"
status=0
SILENT_FAILURES=9 "$runner" program >/dev/null 2>&1 || status=$?
[ $status -eq 1 ] || fail "expected status 1 from a program failing silently, got $status"
[ "$(runs)" -eq 2 ] || fail "a program failing silently ran $(runs) times"
echo "wine runner: retry checks passed"
