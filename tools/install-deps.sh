#!/usr/bin/env bash
# Installs the Debian packages a build needs when any is missing; silent when all are there.
# Usage: tools/install-deps.sh [core] [sanitizers] [windows]   (default: core)
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(core)

packages=()
for group in "${groups[@]}"; do
  case "$group" in
    core) packages+=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsndfile1-dev libcli11-dev libxsimd-dev binutils python3 python3-mpmath) ;;
    sanitizers) packages+=(clang-14 libclang-rt-14-dev) ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb fonts-liberation) ;;
    *) echo "install-deps: unknown group '$group' (core, sanitizers, windows)" >&2; exit 2 ;;
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
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
