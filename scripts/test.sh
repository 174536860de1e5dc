#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# Starts a virtual X server (Xvfb) when there is no display, since most tests need a real GL context.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

CTEST=(ctest --test-dir build --output-on-failure -j"$(nproc)" "$@")

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  "${CTEST[@]}"
else
  echo "test: no display, starting Xvfb"
  xvfb-run -a -s "-screen 0 1280x1024x24" "${CTEST[@]}"
fi
