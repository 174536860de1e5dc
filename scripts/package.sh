#!/usr/bin/env bash
# Builds the Debian package varrow_<version>_amd64.deb into the repository root with CPack, from a build
# configured for /usr with Debian's hardening flags, and checks it with lintian.
# Usage: scripts/package.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-package}")

bash "$root/scripts/setup.sh" --package

# Debian's compiler and linker flags (fortified sources, stack protector, read-only relocations).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DVARROW_TESTS=OFF -DVARROW_BENCH=OFF
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
package=$(cd "$build" && ls -t varrow_*_amd64.deb | head -n 1)
cp "$build/$package" "$root/$package"
echo "package: $root/$package"
dpkg-deb --info "$root/$package" | sed -n '/Package:/,$p'

echo "package: lintian"
# lintian exits non-zero on errors only; warnings and notes are printed for the reader.
lintian --info --display-info "$root/$package"
echo "package: lintian found no errors"
