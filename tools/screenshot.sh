#!/usr/bin/env bash
# Takes a screenshot of kvartapc connected to the simulated controller under a
# virtual X server. Needs: xvfb xdotool imagemagick (apt-get install ...).
# Usage: tools/screenshot.sh [OUTPUT.png]   (run after building into ./build)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
if [[ -z "${KVARTA_SCREENSHOT_INNER:-}" ]]; then
  exec env KVARTA_SCREENSHOT_INNER=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$out"
fi
home=$(mktemp -d)
KVARTAPC_HOME="$home" ./build/kvartapc --simulator &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$home"' EXIT
sleep 3
xdotool key Return          # "Связаться" in the connection window
sleep 2
xdotool type 1111           # identification code of the demo adjuster
xdotool key Return
xdotool type 111111         # its write password
xdotool key Return
sleep 3
import -window root "$out"
echo "$out"
