#!/usr/bin/env bash
# Renders the built-in demo with the Windows renderer under Wine, renders the same dry file with the
# Linux renderer and the same settings, and compares the two processed files sample by sample.
# Usage: match_linux_render.sh EMULATOR WINDOWS_RENDERER WINDOWS_COMPARE LINUX_RENDERER TOLERANCE
# Exits 77 (skipped) when there is no Linux renderer.
set -euo pipefail
emulator=$1 windows_renderer=$2 compare=$3 linux_renderer=$4 tolerance=$5

if [ ! -x "$linux_renderer" ]; then
  echo "skipped: no Linux renderer at $linux_renderer; build the default preset first" \
       "or point KORVEL_LINUX_RENDERER at one"
  exit 77
fi

# Inside the build tree, so that the emulator finds the build's Wine prefix.
work=$(mktemp -d "$PWD/match-linux-render.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

settings=(--program "Med. Drive 1" --block-size 512)
"$emulator" "$windows_renderer" --output windows-wet.wav "${settings[@]}"
"$linux_renderer" korvel-demo-dry.wav --output linux-wet.wav "${settings[@]}"
"$emulator" "$compare" windows-wet.wav linux-wet.wav --tolerance "$tolerance"
