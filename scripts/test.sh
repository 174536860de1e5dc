#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite: once in a normal build, then
# once more built with AddressSanitizer and UndefinedBehaviorSanitizer. `--quick` runs the normal pass only.
# Starts a virtual X server (Xvfb) when there is no display, since most tests need a real GL context.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
if [ "${1:-}" = "--quick" ]; then quick=1; shift; fi

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
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
with_display ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"

if [ "$quick" = 1 ]; then exit 0; fi

echo "test: AddressSanitizer and UndefinedBehaviorSanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARROW_SANITIZE=ON -DVARROW_BENCH=OFF
cmake --build build-sanitize -j"$(nproc)"
# Mesa's software driver leaks a little and is unloaded at exit, which would hide its name from the leak
# report; keeping it loaded lets the suppression file name it.
mesa_libs=""
for lib in /usr/lib/x86_64-linux-gnu/dri/swrast_dri.so /usr/lib/x86_64-linux-gnu/libGLX_mesa.so.0; do
  [ -e "$lib" ] && mesa_libs="$mesa_libs $lib"
done
ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp" \
LD_PRELOAD="${mesa_libs# }" \
  with_display ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" "$@"

# Not with --quick either: a short run of every fuzzer (VARROW_FUZZ_SECONDS each, 20 by default; longer runs
# with scripts/fuzz.sh), then valgrind memcheck of a headless match.
echo "test: fuzz smoke run of every libFuzzer target"
phase_start=$SECONDS
bash scripts/fuzz.sh "${VARROW_FUZZ_SECONDS:-20}"
echo "test: fuzzing took $((SECONDS - phase_start)) s"

echo "test: valgrind memcheck of the start-up loads, headless matches and a few frames"
phase_start=$SECONDS
cmake -S . -B build-valgrind -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARROW_VALGRIND=ON -DVARROW_BENCH=OFF
cmake --build build-valgrind -j"$(nproc)" --target valgrind_match
with_display ctest --test-dir build-valgrind -L valgrind --no-tests=error --output-on-failure
echo "test: valgrind took $((SECONDS - phase_start)) s"
