#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it (it finds its data beside itself).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target varrow
exec ./build/run/varrow "$@"
