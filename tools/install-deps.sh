#!/usr/bin/env bash
# Installs the Debian packages a build needs when any is missing; silent when all are there.
# Usage: tools/install-deps.sh [core] [sanitizers] [windows] [x11-tests] [art] [ardour] [bench]   (default: core)
# "x11-tests" is what the Linux editor's window tests need (a display of their own, XTest, X-Resource).
# "art" is only for redrawing the editor's bitmaps with tools/draw_panel.py; no build needs it.
# "ardour" is only for trying the editor inside Ardour by hand (tools/ardour-editor.sh).
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(core)

packages=()
for group in "${groups[@]}"; do
  case "$group" in
    core) packages+=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsndfile1-dev libcli11-dev libxsimd-dev binutils python3 python3-mpmath
                    libcairo2-dev libfontconfig-dev libstb-dev fonts-liberation libx11-dev
                    lv2-dev lilv-utils sordi) ;;  # the LV2 headers, and the LV2 tools its tests use
    sanitizers) packages+=(clang-14 libclang-rt-14-dev) ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb fonts-liberation) ;;
    x11-tests) packages+=(xvfb libxtst-dev libxres-dev) ;;
    ardour) packages+=(ardour imagemagick xvfb xdotool x11-utils) ;;
    bench) packages+=(ladspa-sdk zam-plugins) ;;  # the peer plug-in the benchmarks measure for scale
    art) packages+=(python3 python3-cairo python3-pil fonts-liberation fonts-dejavu-core fonts-dejavu-extra) ;;
    *) echo "install-deps: unknown group '$group' (core, sanitizers, windows, x11-tests, art, ardour, bench)" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq -o DPkg::Lock::Timeout=600
"${sudo_cmd[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
