#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a fixed time on the game's own generated assets
# (and, for play, on hand-made plays), as many at a time as there are cores. Usage: scripts/fuzz.sh [seconds per target, default 20] [target ...]
# A longer run is just `scripts/fuzz.sh 600`. The build directory is build-fuzz, or $VARROW_FUZZ_BUILD when
# set (scripts/test.sh passes its clang sanitizer build, which holds the fuzz targets too). The working
# corpora in <build>/corpus/ grow from run to run; the seeds they start from are never touched. A crash
# leaves its input in <build>/crashes/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(tga tga-large md2 font shader level settings records replay play)
build="${VARROW_FUZZ_BUILD:-build-fuzz}"
run="$build/run"
seeds=tests/fuzz/seeds

# One line per target: its fuzz executable, its largest input in bytes, its seed files and maybe a dictionary.
describe() {
  dict=""
  case "$1" in
    tga)       binary=fuzz_tga;           max=65536;  sources=("$seeds"/tga/* "$run"/*.tga) ;;
    tga-large) binary=fuzz_tga;           max=307200; sources=("$run"/*.tga) ;;
    md2)       binary=fuzz_md2;           max=131072; sources=("$seeds"/md2/* "$run"/models/*.md2) ;;
    font)      binary=fuzz_font;          max=16384;  sources=("$run"/*.fnt) ;;
    shader)    binary=fuzz_shader_source; max=16384;  sources=("$run"/shader/*) ;;
    level)     binary=fuzz_level;         max=16384;  sources=("$seeds"/level/* "$run"/levels/*.json); dict=tests/fuzz/level.dict ;;
    settings)  binary=fuzz_settings;      max=4096;   sources=("$seeds"/settings/*) ;;
    records)   binary=fuzz_records;       max=8192;   sources=("$seeds"/records/*) ;;
    replay)    binary=fuzz_replay;        max=65536;  sources=("$seeds"/replay/*) ;;
    play)      binary=fuzz_play;          max=4096;   sources=("$seeds"/play/*) ;;
    *) return 1 ;;
  esac
}

seconds="${1:-20}"
if [ $# -gt 0 ]; then shift; fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=("${all_targets[@]}"); fi
case "$seconds" in ''|*[!0-9]*) echo "fuzz: seconds must be a whole number, not '$seconds'" >&2; exit 2 ;; esac
binaries=()
for name in "${targets[@]}"; do
  describe "$name" || { echo "fuzz: unknown target '$name' (${all_targets[*]})" >&2; exit 2; }
  binaries+=("$binary")
done

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVARROW_FUZZ=ON -DVARROW_TESTS=OFF -DVARROW_BENCH=OFF >/dev/null
fi
echo "fuzz: building the fuzz targets in $build"
cmake --build "$build" -j"$(nproc)" --target $(printf '%s\n' "${binaries[@]}" | sort -u) assets shaders levels

corpus="$build/corpus"
crashes="$build/crashes"
logs="$build/logs"
mkdir -p "$corpus" "$crashes" "$logs"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp"

# Runs one target, leaving its log and its exit status in the log directory.
fuzz() {
  local name="$1" file
  describe "$name"
  mkdir -p "$corpus/$name"
  for file in "${sources[@]}"; do
    [ -f "$file" ] && [ ! -e "$corpus/$name/$(basename "$file")" ] && [ "$(stat -c %s "$file")" -le "$max" ] &&
      cp "$file" "$corpus/$name/"
  done
  if [ -z "$(ls -A "$corpus/$name")" ]; then
    echo "no seeds (did the assets build?)" >"$logs/$name.log"
    echo 1 >"$logs/$name.status"
    return
  fi
  local status=0
  "$build/fuzz/$binary" "$corpus/$name" ${dict:+-dict="$dict"} -max_total_time="$seconds" -max_len="$max" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/$name-" >"$logs/$name.log" 2>&1 || status=$?
  echo "$status" >"$logs/$name.status"
}

jobs="${VARROW_FUZZ_JOBS:-$(nproc)}"
echo "fuzz: ${targets[*]} for ${seconds}s each, $jobs at a time"
for name in "${targets[@]}"; do
  while [ "$(jobs -pr | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  rm -f "$logs/$name.status"
  fuzz "$name" &
done
wait

failed=()
for name in "${targets[@]}"; do
  log="$logs/$name.log"
  status=$(cat "$logs/$name.status" 2>/dev/null || echo 1)
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $name FAILED (status $status); log $log:" >&2
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error)|Test unit written to|no seeds" "$log" >&2 || tail -n 30 "$log" >&2
    failed+=("$name")
  else
    echo "fuzz: $name ok: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") runs," \
      "$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")/s, $(sed -n 's/^stat::new_units_added: *//p' "$log") new inputs"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failures in ${failed[*]}; crashing inputs are in $crashes" >&2
  exit 1
fi
echo "fuzz: all targets ran without a failure"
