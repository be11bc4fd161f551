#!/usr/bin/env bash
# Draws the test scene with the Windows backend (under Wine) and the Linux backend and compares
# the two outside the text. Skips (77) when the Linux build is not there.
# Usage: match_linux_scene.sh EMULATOR WINDOWS_SCENE_TOOL LINUX_SCENE_TOOL TOLERANCE
set -euo pipefail
emulator=$1 windows_tool=$2 linux_tool=$3 tolerance=$4

if [ ! -x "$linux_tool" ]; then
  echo "no Linux scene tool at $linux_tool: build the default preset first" >&2
  exit 77
fi
"$linux_tool" draw scene-linux
"$emulator" "$windows_tool" draw scene-windows
echo "pictures: $PWD/scene-linux.png $PWD/scene-windows.png"
"$linux_tool" compare scene-linux.pam scene-windows.pam "$tolerance"
