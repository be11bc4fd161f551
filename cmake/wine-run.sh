#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, created on first use.
# The prefix is $KORVEL_WINEPREFIX, or "wineprefix" beside the CMakeCache.txt of the build tree
# the command runs in (CTest runs tests inside it), or build/windows/wineprefix.
#
#   wine-run.sh PROGRAM [ARGS...]   run a program (the CTest emulator)
#   wine-run.sh --start-server      create the prefix and start its persistent Wine server
#   wine-run.sh --stop-server       stop the server, every Wine program of the prefix and its display
#
# Programs get a display of their own: an Xvfb per prefix (cmake/xvfb-display.sh), which lives as
# long as the prefix's Wine server; $KORVEL_WINE_DISPLAY, when set, names a display to use instead.
#
# A server that Wine starts on its own exits as soon as no program runs, and a program started
# while it shuts down cannot connect. So every run first makes sure a persistent server is up; it
# stays while programs follow each other and exits by itself $KORVEL_WINESERVER_LINGER seconds
# after the last one, should nobody stop it.
set -euo pipefail

if [ -z "${KORVEL_WINEPREFIX:-}" ]; then
  directory=$PWD
  while [ "$directory" != / ] && [ ! -f "$directory/CMakeCache.txt" ]; do directory=$(dirname "$directory"); done
  if [ "$directory" = / ]; then directory="$(cd "$(dirname "$0")/.." && pwd)/build/windows"; fi
  KORVEL_WINEPREFIX="$directory/wineprefix"
fi
export WINEPREFIX=$KORVEL_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
export WINEARCH=win64
linger=${KORVEL_WINESERVER_LINGER:-60}
display_script="$(cd "$(dirname "$0")" && pwd)/xvfb-display.sh"

# The exact complaint of a program that found a server it could not connect to.
readonly lost_server_message="a wine server seems to be running, but I cannot connect to it"

create_prefix() {
  [ -f "$WINEPREFIX/.korvel-ready" ] && return
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.korvel-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      # GDI+ finds no Arial in a bare prefix; Liberation Sans has the same metrics.
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null 2>&1
      # Let the set-up's own server save the registry and exit before the prefix counts as ready.
      wineserver -w
      touch "$WINEPREFIX/.korvel-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Sets DISPLAY for the programs: the prefix's own Xvfb, started unless it runs.
use_display() {
  if [ -n "${KORVEL_WINE_DISPLAY:-}" ]; then
    export DISPLAY=$KORVEL_WINE_DISPLAY
  else
    DISPLAY=$("$display_script" start "$WINEPREFIX.xvfb")
    export DISPLAY
  fi
}

# Starts a persistent server unless one runs. Answers 0 when it started one, 2 when one was running.
# The first program of a new server starts the prefix's background services, which live as long as
# the server and keep whatever output they were given open: a warm-up program starts them with none,
# so that no test's output stays open after the test. They also keep the display they were started
# with, so the display comes up before them.
# The warm-up also makes top-level windows unmanaged: with no window manager on the display, Wine
# otherwise waits 2 s for one each time a managed window is hidden or destroyed.
start_server() {
  local status=0
  wineserver -p"$linger" >/dev/null 2>&1 || status=$?
  use_display
  [ $status -eq 0 ] && wine cmd /c reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    </dev/null >/dev/null 2>&1 || true
  return "$status"
}

# After a lost connection: wait for the old server to go, up to about 5 s, and start a new one.
restart_server() {
  local tries=0
  until start_server; do
    tries=$((tries + 1))
    [ $tries -lt 50 ] || return 0
    sleep 0.1
  done
}

case "${1:-}" in
  --start-server)
    create_prefix
    start_server || true
    exit 0
    ;;
  --stop-server)
    [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1 || true
    "$display_script" stop "$WINEPREFIX.xvfb"
    exit 0
    ;;
esac

create_prefix
start_server || true

# Runs the program once. Its output goes to files, not pipes, since a process it leaves behind could
# hold a pipe open for good; the standard output is followed live, so CTest still sees what a test
# printed before a timeout, and the error output is passed on when the program ends.
output=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
run_program() {
  local status=0 program
  : >"$output"
  wine "$@" <&0 >"$output" 2>"$errors" &
  program=$!
  tail -s 0.05 -c +1 --pid="$program" -f "$output" || true
  wait "$program" || status=$?
  cat "$errors" >&2
  return "$status"
}

# Two failures of Wine itself, not of the program, each worth one more run:
# - a server the program found but could not connect to;
# - a program that failed before it printed anything and with no message at all, a rare failure of
#   Wine's start (every test program prints before its first test runs).
status=0
run_program "$@" || status=$?
retry_reason=
if [ $status -ne 0 ] && grep -qF "$lost_server_message" "$errors"; then
  retry_reason="could not reach the Wine server"
  restart_server
elif [ $status -ne 0 ] && [ ! -s "$output" ] && [ ! -s "$errors" ]; then
  retry_reason="failed with status $status before it printed anything"
  start_server || true
fi
if [ -n "$retry_reason" ]; then
  echo "wine-run.sh: the program $retry_reason; running it once more" >&2
  status=0
  run_program "$@" || status=$?
fi
exit $status
