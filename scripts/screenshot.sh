#!/usr/bin/env bash
# Starts the built game, lets it play for a few seconds and saves a picture of the screen.
# Usage: scripts/screenshot.sh OUTPUT.png [SECONDS] [BUILD_DIR]
# With TOWERS=1 in the environment the player first builds one tower of each kind beside the first path,
# so the picture shows towers firing (the README's screenshot is made this way). With OVERLAY=1 as well it then
# shows the overlay (F9), chooses the standard kind and rests the cursor over a free spot, so the picture
# shows the reach square, health bars and the wave line (docs/overlay.png is made this way).
# Runs on $DISPLAY when one is set, otherwise on an Xvfb server of its own, which it stops afterwards.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 OUTPUT.png [SECONDS] [BUILD_DIR]" >&2
  exit 2
fi
output=$(realpath -m "$1")
seconds=${2:-8}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${3:-$root/build}")
run_dir="$build/run"
if [ ! -x "$run_dir/varrow" ]; then
  echo "no game at $run_dir/varrow: build it first (cmake --build $build --target varrow)" >&2
  exit 1
fi

xvfb_pid=""
game_pid=""
log=$(mktemp)
cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -f "$log"
}
trap cleanup EXIT

source "$root/scripts/lib/virtual_display.sh"
start_virtual_display

cd "$run_dir"
./varrow >"$log" 2>&1 &
game_pid=$!
if [ "${TOWERS:-0}" = 1 ]; then
  # Window points whose ground points lie beside the first path, seen from the start camera.
  for _ in $(seq 50); do
    window=$(xdotool search --name '^Varrow$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  click() { xdotool mousemove --window "$window" "$1" "$2" sleep 0.2 click 1 sleep 0.2 mousemove --window "$window" 512 384 sleep 0.2; }
  sleep 1
  click 512 650; click 259 389   # a standard tower at (5, -14)
  click 612 650; click 512 389   # a sniper tower at (20, -14)
  click 712 650; click 646 344   # a power tower at (29, -20)
  click 812 650; click 512 375   # the selection tool, then select the sniper tower
  if [ "${OVERLAY:-0}" = 1 ]; then
    xdotool key --window "$window" F9
    click 512 650                  # the standard kind
    xdotool mousemove --window "$window" 380 470   # over (13, -6), beside the first path
  fi
fi
sleep "$seconds"
if ! kill -0 "$game_pid" 2>/dev/null; then
  echo "the game ended early; its output:" >&2
  cat "$log" >&2
  exit 1
fi
import -window root "$output"
echo "$output"
