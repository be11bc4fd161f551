#!/usr/bin/env bash
# Checks the runner's display against a stand-in wineserver whose server "runs" while a file exists:
# a second start reuses the display, a stop ends the Xvfb, and an Xvfb whose Wine server has exited
# ends by itself.
set -euo pipefail
script=$1
work=$(mktemp -d)
mkdir -p "$work/bin"
cat >"$work/bin/wineserver" <<'STANDIN'
#!/bin/sh
# -w waits while the server runs.
[ "$1" = -w ] && while [ -e "$SERVER_UP" ]; do sleep 0.1; done
exit 0
STANDIN
chmod +x "$work/bin/wineserver"
export PATH="$work/bin:$PATH" SERVER_UP="$work/server-up"
state=$work/state
trap '"$script" stop "$state"; rm -rf "$work"' EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }
xvfb_pid() { read -r _ pid _ <"$state" && echo "$pid"; }
runs() { [ -d "/proc/$1" ] && [ "$(awk '{print $3}' "/proc/$1/stat")" != Z ]; }
# Waits up to 20 s for the process to end.
ends() { for _ in $(seq 200); do runs "$1" || return 0; sleep 0.1; done; return 1; }

touch "$SERVER_UP"
first=$("$script" start "$state")
pid=$(xvfb_pid)
[ -S "/tmp/.X11-unix/X${first#:}" ] || fail "no X socket for $first"
second=$("$script" start "$state")
[ "$first" = "$second" ] && [ "$(xvfb_pid)" = "$pid" ] || fail "second start made a new display ($first, $second)"

"$script" stop "$state"
runs "$pid" && fail "the Xvfb runs on after stop"
[ ! -e "$state" ] || fail "the record stayed after stop"

"$script" start "$state" >/dev/null
pid=$(xvfb_pid)
rm "$SERVER_UP"
ends "$pid" || fail "the Xvfb outlived its Wine server"
echo "xvfb display: checks passed"
