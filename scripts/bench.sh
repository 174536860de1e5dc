#!/usr/bin/env bash
# Builds and runs every benchmark of the game: the reference frames compared (the test pass compares them
# too), frame time (plain and busy scene, with the per-pass split), the real game's frame rate counted by the
# driver beside its floor, the three quality presets' frame rates counted by the driver in the start and the
# busy scene beside their floors, Medium's and Low's pictures against High's (PSNR), whole headless matches,
# the levels listing with a full player's folder, start-up to the first frame, and peak memory of the real game
# and of a match.
# Usage: scripts/bench.sh [BUILD_DIR]   (default build-bench; Release-like RelWithDebInfo unless configured)
# Runs on $DISPLAY when one is set, otherwise on an Xvfb server of its own, which it stops afterwards.
# Results go to the terminal; the benchmarks are noisy on a shared machine, so run it with nothing else busy.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
startup_runs=${STARTUP_RUNS:-7}
play_seconds=${PLAY_SECONDS:-60}
fps_seconds=${FPS_SECONDS:-20}
fps_rounds=${FPS_ROUNDS:-3}
presets=${PRESETS:-high medium low}
preset_rounds=${PRESET_ROUNDS:-2}

cmake -S "$root" -B "$build" -DVARROW_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target varrow frame_bench match_bench levels_bench startup_bench frame_reference

xvfb_pid=""
game_pid=""
scratch=$(mktemp -d)
cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
# The game and the benchmarks read no settings file of the developer's: every run starts at the defaults.
export XDG_CONFIG_HOME="$scratch/config"

source "$root/scripts/lib/virtual_display.sh"
start_virtual_display

echo "== machine"
lscpu | grep -E '^(Model name|CPU\(s\))' || true
glxinfo -B 2>/dev/null | grep -E 'OpenGL (renderer|version) string' || true
uptime

echo "== reference frames (each must be identical)"
"$build/bench/frame_reference" compare "$root/bench/reference" 2>/dev/null | grep -E '^[a-z_]+: (identical|differs|no )' || true

echo "== frame (median, p95, update/draw shares; per-pass split)"
"$build/bench/frame_bench" 2>/dev/null | grep -E '^BM_'

# The real game as it starts, its frame rate counted by the driver once a second over the first
# $fps_seconds s (the first 2 s of start-up left out), alternately with its floor: a copy of the run
# directory whose scene fragment shaders write a constant colour (same passes, clears and draws).
echo "== real game, driver-counted fps beside its floor ($fps_rounds alternating rounds of ${fps_seconds} s)"
cp -r "$build/run" "$scratch/floor"
for pair in simple_shader:fragColor shadow1:shadowColor shadow2:shadow2Color; do
  printf '#version 150\nout vec4 %s;\nvoid main() { %s = vec4(0.5, 0.5, 0.5, 1.0); }\n' \
    "${pair#*:}" "${pair#*:}" >"$scratch/floor/shader/${pair%%:*}.frag"
done
# driver_fps NAME ROUND DIR [COMMAND...]: runs the command (the game by default) in DIR for $fps_seconds s and
# keeps the driver's per-second counts after the first two in $scratch/NAME.fps.
driver_fps() {
  local name="$1" dump="$scratch/hud-$1-$2" dir="$3"
  shift 3
  [ $# -gt 0 ] || set -- ./varrow
  mkdir -p "$dump"
  (cd "$dir" && GALLIUM_HUD=fps GALLIUM_HUD_PERIOD=1 GALLIUM_HUD_VISIBLE=false GALLIUM_HUD_DUMP_DIR="$dump" \
    exec "$@" >/dev/null 2>&1) &
  game_pid=$!
  sleep "$fps_seconds"
  kill "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  tail -n +3 "$dump/fps" >>"$scratch/$name.fps"
}
summarise() {
  sort -g "$scratch/$1.fps" | awk -v name="$1" '{v[NR]=$1} END {
    printf "%s: median %.1f fps, 5th percentile %.1f fps (%d samples)\n", name, v[int((NR+1)/2)], v[int(0.05*(NR-1))+1], NR}'
}
for round in $(seq "$fps_rounds"); do
  driver_fps game "$round" "$build/run"
  driver_fps floor "$round" "$scratch/floor"
done
game_line=$(summarise game)
floor_line=$(summarise floor)
printf '%s\n%s\n' "$game_line" "$floor_line"
awk -v a="$(cut -d' ' -f3 <<<"$game_line")" -v b="$(cut -d' ' -f3 <<<"$floor_line")" \
  'BEGIN {printf "game/floor median ratio: %.2f\n", a / b}'
uptime

# Each preset in the start scene (the real game with --quality) and in the busy scene (frame_bench's 60
# enemies and 20 towers with a settings file naming the preset, run until it is stopped), each beside its
# floor (the same from the constant-colour run directory); all of them alternating within each round.
echo "== quality presets, driver-counted fps beside the floor ($preset_rounds rounds of ${fps_seconds} s each)"
for round in $(seq "$preset_rounds"); do
  for preset in $presets; do
    echo "quality = $preset" >"$scratch/$preset.ini"
    for dir in run floor; do
      from="$build/run"
      [ "$dir" = floor ] && from="$scratch/floor"
      driver_fps "start-$preset-$dir" "$round" "$from" ./varrow --quality "$preset"
      driver_fps "busy-$preset-$dir" "$round" "$from" env VARROW_RUN_DIR="$from" BENCH_SETTINGS="$scratch/$preset.ini" \
        FRAME_BENCH_FRAMES=1000000 "$build/bench/frame_bench" --benchmark_filter='BM_BusyFrame/'
    done
  done
done
for preset in $presets; do
  for scene in start busy; do
    run_line=$(summarise "$scene-$preset-run")
    floor_line=$(summarise "$scene-$preset-floor")
    printf '%s\n%s\n' "$run_line" "$floor_line"
    awk -v name="$scene-$preset" -v a="$(cut -d' ' -f3 <<<"$run_line")" -v b="$(cut -d' ' -f3 <<<"$floor_line")" \
      'BEGIN {printf "%s: %.1f fps beside its floor %.1f (%.2f)\n", name, a, b, a / b}'
  done
done
uptime

# How far each cheaper preset's picture is from High's: its start and busy frames against the High references.
echo "== picture of each preset against High (PSNR of the start and busy frames)"
for preset in $presets; do
  [ "$preset" = high ] && continue
  echo "quality = $preset" >"$scratch/$preset.ini"
  BENCH_SETTINGS="$scratch/$preset.ini" "$build/bench/frame_reference" floor "$root/bench/reference" 1 2>/dev/null |
    grep -E '^(start|busy): ' | sed "s/^/$preset against high, /" || true
done

echo "== game.update over whole matches at 60 updates per simulated second"
"$build/bench/match_bench" 2>/dev/null | grep -E '^BM_'

echo "== the levels listing with 1000 level files of the player's"
"$build/bench/levels_bench" 2>/dev/null | grep -E '^BM_'

echo "== start-up to the first frame (in-process initApplication + first frame, $startup_runs runs)"
results=()
for _ in $(seq "$startup_runs"); do
  line=$("$build/bench/startup_bench" "$(date +%s%N)" 2>/dev/null | grep '^startup')
  echo "$line"
  results+=("$(sed -E 's/.*exec_to_first_frame_ms=([0-9.]+).*/\1/' <<<"$line")")
done
printf '%s\n' "${results[@]}" | sort -g | awk '{v[NR]=$1} END {printf "median exec_to_first_frame_ms=%.1f\n", v[int((NR+1)/2)]}'

echo "== real game: window shown, then peak memory over ${play_seconds} s of play"
cd "$build/run"
start=$(date +%s%N)
./varrow >/dev/null 2>&1 &
game_pid=$!
while ! xdotool search --name '^Varrow$' >/dev/null 2>&1; do
  if ! kill -0 "$game_pid" 2>/dev/null; then
    echo "the game ended early" >&2
    exit 1
  fi
  sleep 0.01
done
echo "window_shown_ms=$(( ($(date +%s%N) - start) / 1000000 ))"
sleep "$play_seconds"
grep -E '^(VmHWM|VmRSS)' "/proc/$game_pid/status"
kill "$game_pid"
wait "$game_pid" 2>/dev/null || true
game_pid=""

echo "== headless match: peak memory of the whole process"
/usr/bin/time -f "max_rss_kB=%M" "$build/bench/match_bench" --benchmark_filter='towers:1' 2>&1 >/dev/null |
  grep max_rss
