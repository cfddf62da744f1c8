#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/build, then CPack, which leaves
# build-package/xiepin_<version>_<arch>.deb and lists its contents.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
XIEPIN_PACKAGES+=(dpkg-dev file)  # dpkg-shlibdeps finds the package's dependencies
xiepin_install_deps
out=$XIEPIN_ROOT/build-package
cmake -S "$XIEPIN_ROOT" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DXIEPIN_TESTS=OFF >/dev/null
cmake --build "$out/build" -j"$(nproc)" --target xiepin xiepin-cli xiepin-radio xiepin_man
(cd "$out/build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$out"/xiepin_*.deb | head -n1)
echo "$deb"
dpkg-deb -f "$deb" Package Version Architecture Depends
dpkg -c "$deb"
