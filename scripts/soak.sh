#!/usr/bin/env bash
# Soaks the real game: build/run/varrow on its own Xvfb, driven for a number of minutes (default 30) by
# random X input through xdotool (key taps and holds, clicks anywhere, right-button drags, wheel steps,
# cursor moves, window resizes down to 1 x 1), its resident memory sampled every minute. At the end Escape
# must quit with status 0 and nothing on standard error from the windowing library.
# Usage: scripts/soak.sh [minutes]. Not part of CI. Logs and the summary go to build/soak/.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes="${1:-30}"
case "$minutes" in ''|*[!0-9]*) echo "soak: minutes must be a whole number, not '$minutes'" >&2; exit 2 ;; esac

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target varrow assets >/dev/null

out="$PWD/build/soak"
mkdir -p "$out"
rm -f "$out"/*.log "$out"/summary.txt

unset DISPLAY
source scripts/lib/virtual_display.sh
start_virtual_display
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

(cd build/run && exec ./varrow >"$out/stdout.log" 2>"$out/stderr.log") &
game_pid=$!
window=""
for _ in $(seq 300); do
  window=$(xdotool search --name '^Varrow$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then echo "soak: the game window never appeared" >&2; exit 1; fi
# Without a window manager the keyboard follows the pointer; giving the window the focus keeps key presses
# going to the game while the pointer is outside a shrunken window.
xdotool windowfocus "$window" 2>/dev/null || true

# The driver's buffers follow the window size, so every sample is taken at the start-up size.
sample_rss() {
  xdotool windowsize "$window" 1024 768 sleep 1 2>/dev/null || true
  width=1024
  height=768
  rss_last=$(awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status" 2>/dev/null || echo 0)
}
pick() { local -n list=$1; echo "${list[RANDOM % ${#list[@]}]}"; }
# Escape is left out: it quits, and it is pressed once at the end.
keys=(c p F1 F2 F3 F4 F5 F6 F7 F8 Up Down Left Right Prior Next i j k l u o space a z 1 Tab Return r f)
held_keys=(Up Down Left Right Prior Next i j k l u o)
sizes=(1 2 7 64 320 640 800 1024)
width=1024
height=768
actions=0
rss_first=""
rss_last=""
start=$SECONDS
next_sample=$((start + 60))
deadline=$((start + minutes * 60))
stayed_up=1

while [ "$SECONDS" -lt "$deadline" ]; do
  x=$((RANDOM % width)); y=$((RANDOM % height))
  case $((RANDOM % 10)) in
    0|1) xdotool key "$(pick keys)" ;;
    2) xdotool keydown "$(pick held_keys)" sleep 0.$((RANDOM % 5 + 1)) keyup Up Down Left Right Prior Next i j k l u o ;;
    3|4) xdotool mousemove "$x" "$y" click 1 ;;
    5) xdotool mousemove "$x" "$y" mousedown 3 mousemove $(((x + RANDOM % 400) % width)) "$y" sleep 0.2 \
         mousemove "$((RANDOM % width))" "$((RANDOM % height))" sleep 0.2 mouseup 3 ;;
    6) xdotool mousemove "$x" "$y" click --repeat $((RANDOM % 4 + 1)) $((RANDOM % 2 + 4)) ;;
    7) xdotool mousemove "$x" "$y" ;;
    8) if [ $((RANDOM % 3)) -eq 0 ]; then width=1024; height=768; else width=$(pick sizes); height=$(pick sizes); fi
       xdotool windowsize "$window" "$width" "$height" ;;
    9) sleep 0.$((RANDOM % 9 + 1)) ;;
  esac || true  # a refused X request is the soak's noise, not the game's fault
  actions=$((actions + 1))
  if ! kill -0 "$game_pid" 2>/dev/null; then stayed_up=0; break; fi
  if [ "$SECONDS" -ge "$next_sample" ]; then
    sample_rss
    [ -z "$rss_first" ] && rss_first=$rss_last
    echo "minute $(((SECONDS - start) / 60)): $actions actions, RSS $rss_last kB" | tee -a "$out/rss.log"
    next_sample=$((next_sample + 60))
  fi
  sleep 0.0$((RANDOM % 10))
done

status="none"
if [ "$stayed_up" = 1 ]; then
  sample_rss
  echo "end: $actions actions, RSS $rss_last kB" >>"$out/rss.log"
  # Back to full size with the pointer inside, so that the window has the keyboard, then Escape.
  xdotool keyup Up Down Left Right Prior Next i j k l u o mouseup 3 2>/dev/null || true
  xdotool windowsize "$window" 1024 768 mousemove 512 384 sleep 0.5 key Escape
  for _ in $(seq 300); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$game_pid" 2>/dev/null; then status="still running after Escape"; else
    status=0; wait "$game_pid" || status=$?
  fi
  game_pid=""
else
  wait "$game_pid" || true
  game_pid=""
fi

glfw_errors=$(grep -c "GLFW error" "$out/stderr.log" || true)
growth="?"
if [ -n "$rss_first" ] && [ "$rss_first" -gt 0 ]; then
  growth=$(awk -v a="$rss_first" -v b="$rss_last" 'BEGIN { printf "%.1f", (b - a) * 100.0 / a }')
fi
{
  echo "soak: $minutes min, $actions actions sent"
  echo "soak: game stayed up: $([ "$stayed_up" = 1 ] && echo yes || echo NO)"
  echo "soak: RSS at minute 1: ${rss_first:-?} kB, at the end: ${rss_last:-?} kB, growth ${growth} %"
  echo "soak: exit status after Escape: $status; GLFW errors on standard error: $glfw_errors"
} | tee "$out/summary.txt"
[ "$stayed_up" = 1 ] && [ "$status" = 0 ] && [ "$glfw_errors" = 0 ]
