#!/usr/bin/env bash
# Starts the built game, lets it play for a few seconds and saves a picture of the screen.
# Usage: scripts/screenshot.sh OUTPUT.png [SECONDS] [BUILD_DIR]
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

if [ -z "${DISPLAY:-}" ]; then
  # A display number nobody holds: the lock file marks a running server.
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      display=":$n"
      break
    fi
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
fi

cd "$run_dir"
./varrow >"$log" 2>&1 &
game_pid=$!
sleep "$seconds"
if ! kill -0 "$game_pid" 2>/dev/null; then
  echo "the game ended early; its output:" >&2
  cat "$log" >&2
  exit 1
fi
import -window root "$output"
echo "$output"
