#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a fixed time on the game's own
# generated assets. Usage: scripts/fuzz.sh [seconds per target, default 20] [target ...]
# Targets: tga (small images), tga-large (the full-size images), md2, font, shader, play (plays the game). A longer run is just
# `scripts/fuzz.sh 600`. The working corpora in build-fuzz/corpus/ grow from run to run; the seeds they start
# from are never touched. A crash leaves its input in build-fuzz/crashes/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-20}"
if [ $# -gt 0 ]; then shift; fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=(tga tga-large md2 font shader play); fi
case "$seconds" in ''|*[!0-9]*) echo "fuzz: seconds must be a whole number, not '$seconds'" >&2; exit 2 ;; esac
for name in "${targets[@]}"; do
  case "$name" in
    tga|tga-large|md2|font|shader|play) ;;
    *) echo "fuzz: unknown target '$name' (tga, tga-large, md2, font, shader, play)" >&2; exit 2 ;;
  esac
done

build=build-fuzz
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi

echo "fuzz: building $build with clang"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVARROW_FUZZ=ON -DVARROW_TESTS=OFF -DVARROW_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_tga fuzz_md2 fuzz_font fuzz_shader_source fuzz_play assets shaders

run="$build/run"
seeds=tests/fuzz/seeds
corpus="$build/corpus"
crashes="$build/crashes"
logs="$build/logs"
mkdir -p "$corpus" "$crashes" "$logs"

# Copies seed files into a target's working corpus, skipping files larger than its input limit.
seed() {
  local dir="$1" max="$2"
  shift 2
  mkdir -p "$dir"
  local file
  for file in "$@"; do
    [ -f "$file" ] || continue
    [ -e "$dir/$(basename "$file")" ] && continue
    if [ "$(stat -c %s "$file")" -le "$max" ]; then cp "$file" "$dir/"; fi
  done
}

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp"

failed=()
for name in "${targets[@]}"; do
  case "$name" in
    tga)       binary=fuzz_tga;           max=65536;  seed "$corpus/$name" $max "$seeds"/tga/* "$run"/*.tga ;;
    tga-large) binary=fuzz_tga;           max=307200; seed "$corpus/$name" $max "$run"/*.tga ;;
    md2)       binary=fuzz_md2;           max=131072; seed "$corpus/$name" $max "$seeds"/md2/* "$run"/models/*.md2 ;;
    font)      binary=fuzz_font;          max=16384;  seed "$corpus/$name" $max "$run"/*.fnt ;;
    shader)    binary=fuzz_shader_source; max=16384;  seed "$corpus/$name" $max "$run"/shader/* ;;
    play)      binary=fuzz_play;          max=4096;   seed "$corpus/$name" $max "$seeds"/play/* ;;
  esac
  if [ -z "$(ls -A "$corpus/$name")" ]; then
    echo "fuzz: no seeds for $name (did the assets build?)" >&2
    exit 1
  fi
  log="$logs/$name.log"
  echo "fuzz: $name for ${seconds}s (max_len $max, $(ls "$corpus/$name" | wc -l) inputs in the corpus)"
  status=0
  "$build/fuzz/$binary" "$corpus/$name" -max_total_time="$seconds" -max_len="$max" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/$name-" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  added=$(sed -n 's/^stat::new_units_added: *//p' "$log")
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $name FAILED (status $status); log $log, inputs:" >&2
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error)|Test unit written to" "$log" >&2 || tail -n 30 "$log" >&2
    failed+=("$name")
  else
    echo "fuzz: $name ok: ${runs:-?} runs, ${speed:-?}/s, ${added:-?} new inputs"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failures in ${failed[*]}; crashing inputs are in $crashes" >&2
  exit 1
fi
echo "fuzz: all targets ran without a failure"
