#!/usr/bin/env bash
# Installs what is missing, builds the plug-in and the renderer, and renders the built-in demo.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh core
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
mkdir -p out
build/default/tools/korvel-render --output out/korvel-demo-wet.wav "$@"
