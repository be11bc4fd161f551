#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, created on first use.
# The prefix is $KORVEL_WINEPREFIX, or "wineprefix" beside the CMakeCache.txt of the build tree
# the command runs in (CTest runs tests inside it), or build/windows/wineprefix.
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

if [ ! -f "$WINEPREFIX/.korvel-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.korvel-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      # GDI+ finds no Arial in a bare prefix; Liberation Sans has the same metrics.
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.korvel-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec wine "$@"
