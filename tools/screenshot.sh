#!/usr/bin/env bash
# Takes a screenshot of kvartapc connected to the simulated controller under a
# virtual X server. Needs: xvfb xdotool imagemagick (apt-get install ...).
# Usage: tools/screenshot.sh [OUTPUT.png] [disconnected]   (run after building into ./build)
# With "disconnected" the connection window is left with Esc instead.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
mode=${2:-connected}
if [[ -z "${KVARTA_SCREENSHOT_INNER:-}" ]]; then
  exec env KVARTA_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$out" "$mode"
fi
home=$(mktemp -d)
KVARTAPC_HOME="$home" ./build/kvartapc --simulator &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$home"' EXIT
sleep 3
if [[ "$mode" == disconnected ]]; then
  xdotool key Escape        # leave the connection window
  sleep 1
else
  xdotool key Return        # "Связаться" in the connection window
  sleep 2
  xdotool type 1111         # identification code of the demo adjuster
  xdotool key Return
  xdotool type 111111       # its write password
  xdotool key Return
  sleep 3
fi
import -window root "$out"
echo "$out"
