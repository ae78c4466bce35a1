#!/usr/bin/env bash
# Builds everything and runs the program against a simulated controller.
set -euo pipefail
cd "$(dirname "$0")"
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
exec ./build/kvartactl --simulator identify "$@"
