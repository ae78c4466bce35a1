#!/usr/bin/env bash
# Builds everything and runs the desktop program against a simulated
# controller. Without a display it says so and shows the command-line tool's
# identification of the simulated controller instead.
set -euo pipefail
cd "$(dirname "$0")"
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
if [[ -x build/kvartapc && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) ]]; then
  exec ./build/kvartapc --simulator "$@"
fi
if [[ ! -x build/kvartapc ]]; then
  echo "kvartapc was not built (Qt 6 Widgets missing: apt-get install qt6-base-dev)."
else
  echo "No display: kvartapc needs one (try: xvfb-run ./build/kvartapc --simulator)."
fi
echo "The command-line tool against the simulated controller instead:"
echo
exec ./build/kvartactl --simulator identify
