#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite four ways: a normal build; the
# same suite built with clang, AddressSanitizer and UndefinedBehaviorSanitizer, a build that also holds the
# libFuzzer targets; a short run of every fuzzer; and valgrind memcheck of the normal build's tests of the
# start-up loads, headless matches and a few frames. `--quick` runs the normal pass only.
# Starts a virtual X server (Xvfb) when there is no display, since most tests need a real GL context.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
if [ "${1:-}" = "--quick" ]; then quick=1; shift; fi
jobs="$(nproc)"
# `time` reports each phase: wall time, then the CPU time of the script and its children.
TIMEFORMAT="test: phase took %0R s (CPU %0U s user, %0S s system)"

bash scripts/setup.sh

# Runs a command on the current display, or on a private Xvfb when there is none.
with_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
}

echo "test: normal build"
time {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j"$jobs"
}
echo "test: normal tests"
time with_display ctest --test-dir build --output-on-failure -j"$jobs" "$@"

if [ "$quick" = 1 ]; then exit 0; fi

echo "test: clang build with AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets"
time {
  # -O1, as the sanitizers' own documentation advises: reports stay readable and the build is quicker.
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" \
    -DCMAKE_CXX_COMPILER=clang++ -DVARROW_SANITIZE=ON -DVARROW_FUZZ=ON -DVARROW_BENCH=OFF
  cmake --build build-sanitize -j"$jobs"
}
# The real-time plays of the real binary (E2E.*: the play-through, the lost match, a level, the options
# screen) run in the normal pass only: they would add a minute here, and their code paths run sanitized in the
# in-process tests; the damaged-data launches of the sanitized game stay. Each suite is one CTest test here
# (tests/CMakeLists.txt), which leaves the E2E plays out itself.
echo "test: sanitizer tests"
# Mesa's software driver leaks a little and is unloaded at exit, which would hide its name from the leak
# report; keeping it loaded lets the suppression file name it.
mesa_libs=""
for lib in /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so /usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0; do
  [ -e "$lib" ] && mesa_libs="$mesa_libs $lib"
done
time ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=1" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp" \
  LD_PRELOAD="${mesa_libs# }" \
  with_display ctest --test-dir build-sanitize --output-on-failure -j"$jobs" "$@"

# A short run of every fuzzer (VARROW_FUZZ_SECONDS each, 10 by default; longer runs with scripts/fuzz.sh).
echo "test: fuzz smoke run of every libFuzzer target"
time VARROW_FUZZ_BUILD=build-sanitize bash scripts/fuzz.sh "${VARROW_FUZZ_SECONDS:-10}"

# The normal build's own tests under memcheck, side by side on one display: the start-up loads (shaders, every
# image), a headless match lost without towers, towers firing, built, upgraded and sold, and full frames.
echo "test: valgrind memcheck of the start-up loads, headless matches and a few frames"
valgrind_runs=(
  "game_test:*WithoutTowersTheSixteenthArrivalLoses*:*EachKindFires*:*UpgradeCosts*"
  "render_test:*TheBoardIsDrawn*:*AFloatingBox*"
)
memcheck="valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=97"
memcheck+=" --track-origins=no --num-callers=30 --suppressions=$PWD/tests/sanitizer/valgrind.supp"
side_by_side=""
for run in "${valgrind_runs[@]}"; do
  side_by_side+="$memcheck build/tests/${run%%:*} --gtest_filter='${run#*:}' >build/valgrind-${run%%:*}.log 2>&1 & "
done
valgrind_status=0
time with_display bash -c "$side_by_side status=0; for p in \$(jobs -p); do wait \$p || status=1; done; exit \$status" ||
  valgrind_status=1
for run in "${valgrind_runs[@]}"; do
  log="build/valgrind-${run%%:*}.log"
  echo "test: valgrind ${run%%:*}: $(grep -E "ERROR SUMMARY" "$log" | tail -n 1)"
  grep -E "^==[0-9]+== +(Invalid|Conditional|Use of|.*definitely lost in)|^\[  FAILED" "$log" >&2 || true
done
if [ "$valgrind_status" != 0 ]; then
  echo "test: valgrind found errors; logs in build/valgrind-*.log" >&2
  exit 1
fi
