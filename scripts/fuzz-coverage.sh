#!/usr/bin/env bash
# Measures how much of the level and settings readers their fuzz targets reach: builds the two targets with
# clang's source coverage (in build-fuzz-coverage, or $VARROW_COVERAGE_BUILD), runs each for a while from the
# shipped seeds in a fresh corpus, and prints llvm-cov's line and branch report of the reader's source file.
# Usage: scripts/fuzz-coverage.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
case "$seconds" in ''|*[!0-9]*) echo "fuzz-coverage: seconds must be a whole number, not '$seconds'" >&2; exit 2 ;; esac
build="${VARROW_COVERAGE_BUILD:-build-fuzz-coverage}"
profdata=llvm-profdata-14
cov=llvm-cov-14
for tool in clang++ "$profdata" "$cov"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "fuzz-coverage: $tool is missing" >&2; exit 1; }
done

if [ ! -f "$build/CMakeCache.txt" ]; then
  flags="-fprofile-instr-generate -fcoverage-mapping"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DVARROW_FUZZ=ON -DVARROW_TESTS=OFF -DVARROW_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_level fuzz_settings levels

export ASAN_OPTIONS="detect_leaks=0"
work="$build/coverage"
rm -rf "$work"
for name in level settings; do
  case "$name" in
    level)    source=game/LevelFile.cpp; seeds=(tests/fuzz/seeds/level/* "$build"/run/levels/*.json)
              extra=(-dict=tests/fuzz/level.dict -max_len=16384) ;;
    settings) source=config/Settings.cpp; seeds=(tests/fuzz/seeds/settings/*); extra=(-max_len=4096) ;;
  esac
  mkdir -p "$work/$name/corpus"
  cp "${seeds[@]}" "$work/$name/corpus/"
  LLVM_PROFILE_FILE="$work/$name/%p.profraw" "$build/fuzz/fuzz_$name" "$work/$name/corpus" "${extra[@]}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 >"$work/$name/fuzz.log" 2>&1
  "$profdata" merge -sparse "$work/$name"/*.profraw -o "$work/$name/merged.profdata"
  echo "fuzz-coverage: fuzz_$name after ${seconds}s from the seeds ($(ls "$work/$name/corpus" | wc -l) inputs):"
  "$cov" report "$build/fuzz/fuzz_$name" -instr-profile="$work/$name/merged.profdata" "$source" | grep -v "^-"
  "$cov" show "$build/fuzz/fuzz_$name" -instr-profile="$work/$name/merged.profdata" "$source" \
    -show-branches=count -format=text >"$work/$name/show.txt"
  echo "fuzz-coverage: lines and branches not reached are marked in $work/$name/show.txt"
done
