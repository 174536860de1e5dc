#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Varrow needs; with --package also what
# building and checking the Debian package needs. Safe to run again: packages already present are skipped.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake pkg-config git
  # game libraries
  libglfw3-dev libglew-dev libglm-dev libgl-dev libgl1-mesa-dri
  libopenal-dev libopenal1 libopenmpt-dev libsndfile1-dev libstb-dev
  # asset generator
  libfreetype-dev fonts-liberation2 libmp3lame-dev
  # options, levels, settings
  libcli11-dev nlohmann-json3-dev libinih-dev
  # tests, benchmarks, fuzzers
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev valgrind libegl-dev
  xvfb xauth xdotool x11-apps x11-utils imagemagick sox mesa-utils
  # checks of the installed menu entry and AppStream file
  desktop-file-utils appstream
)
if [ "${1:-}" = "--package" ]; then
  PACKAGES+=(dpkg-dev file lintian)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages are already installed."
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "setup: not root and no sudo; install these packages by hand: ${missing[*]}" >&2
    exit 1
  fi
fi

echo "setup: installing ${#missing[@]} missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "setup: done."
