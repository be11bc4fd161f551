#!/usr/bin/env bash
# A virtual X display (Xvfb) for the Wine programs of one prefix: started on first use, then reused.
#
#   xvfb-display.sh start STATE   print the display (":N"), starting an Xvfb unless one runs for STATE
#   xvfb-display.sh stop STATE    stop that Xvfb and its watcher
#
# STATE is a file that records "display Xvfb-process-id watcher-process-id"; STATE.lock serialises
# starts and stops. The Xvfb lives exactly as long as the Wine server of $WINEPREFIX: a watcher in
# its own session stops it once that server has exited and no new one has come up in its place,
# so a run that was interrupted leaves no display behind once its Wine server has lingered out.
# The displays tried are :$KORVEL_XVFB_FIRST_DISPLAY (default 100) and the 99 above it.
set -euo pipefail

command=${1:-}
state=${2:-}
[ -n "$state" ] || { echo "usage: xvfb-display.sh start|stop STATE" >&2; exit 2; }
lock=$state.lock
first=${KORVEL_XVFB_FIRST_DISPLAY:-100}

# True while the process runs (a zombie counts as gone).
alive() {
  local status
  status=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$status" ] && [ "$status" != Z ]
}

# Prints the recorded "display xvfb watcher" when that Xvfb still runs.
recorded() {
  local display xvfb watcher
  [ -f "$state" ] && read -r display xvfb watcher <"$state" || return 1
  [ -n "${watcher:-}" ] && alive "$xvfb" && [ "$(cat "/proc/$xvfb/comm" 2>/dev/null)" = Xvfb ] || return 1
  echo "$display $xvfb $watcher"
}

# Ends the watcher's session (the watcher, its Xvfb, a waiting wineserver client) and waits for
# the Xvfb to be gone.
stop_recorded() {
  local display xvfb watcher tries=0
  if read -r display xvfb watcher < <(recorded); then
    kill -TERM -- "-$watcher" 2>/dev/null || true
    while alive "$xvfb" && [ $tries -lt 100 ]; do sleep 0.05; tries=$((tries + 1)); done
    alive "$xvfb" && kill -KILL "$xvfb" 2>/dev/null || true
  fi
  rm -f "$state"
}

# True while a Wine server runs for $WINEPREFIX: waiting for its lock then takes longer than a second.
wine_server_runs() {
  local status=0
  timeout 1 wineserver -w >/dev/null 2>&1 || status=$?
  [ $status -eq 124 ]
}

case "$command" in
  start)
    exec 9>"$lock"
    flock 9
    if read -r display _ < <(recorded); then echo ":$display"; exit 0; fi
    rm -f "$state"
    for display in $(seq "$first" $((first + 99))); do
      [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ] && continue
      # The watcher gets its own session, no terminal output of ours and not our lock.
      setsid bash "$0" serve "$state" "$display" </dev/null >/dev/null 2>&1 9>&- &
      watcher=$!
      while alive "$watcher" && ! [ -f "$state" ]; do sleep 0.05; done
      if read -r display _ < <(recorded); then echo ":$display"; exit 0; fi
      # The number was taken in the meantime (or the Xvfb failed): try the next one.
      kill -TERM -- "-$watcher" 2>/dev/null || true
    done
    echo "xvfb-display.sh: no free X display from :$first to :$((first + 99))" >&2
    exit 1
    ;;
  stop)
    [ -d "$(dirname "$state")" ] || exit 0
    exec 9>"$lock"
    flock 9
    stop_recorded
    ;;
  serve)
    display=$3
    ready=$state.ready
    rm -f "$ready"
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp -displayfd 3 3>"$ready" &
    xvfb=$!
    # Xvfb writes the display number to the descriptor once clients can connect.
    while alive "$xvfb" && ! [ -s "$ready" ]; do sleep 0.05; done
    rm -f "$ready"
    alive "$xvfb" || exit 1
    echo "$display $xvfb $$" >"$state.new" && mv "$state.new" "$state"
    while :; do
      wineserver -w >/dev/null 2>&1 || true
      sleep 1
      exec 9>"$lock"
      flock 9
      if ! wine_server_runs; then
        kill -TERM "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
        # The record is ours unless a later start replaced it.
        read -r _ _ owner <"$state" 2>/dev/null && [ "$owner" = $$ ] && rm -f "$state"
        exit 0
      fi
      exec 9>&-
    done
    ;;
  *)
    echo "usage: xvfb-display.sh start|stop STATE" >&2
    exit 2
    ;;
esac
