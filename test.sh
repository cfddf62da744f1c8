#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a normal build, then a build
# under AddressSanitizer and UndefinedBehaviorSanitizer. In between, the serial device layer is
# cross-built for Windows and checked under Wine (scripts/test-windows.sh).
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
xiepin_install_deps

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== build"
xiepin_build "$XIEPIN_ROOT/build" -DCMAKE_BUILD_TYPE=Debug
echo "== tests"
(cd "$XIEPIN_ROOT/build" && ctest --output-on-failure -j"$jobs")

echo "== windows"
"$XIEPIN_ROOT/scripts/test-windows.sh"

echo "== sanitizer build"
xiepin_build "$XIEPIN_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DXIEPIN_SANITIZE=ON
echo "== sanitizer tests"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$XIEPIN_ROOT/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$XIEPIN_ROOT/build-asan" && ctest --output-on-failure -j"$jobs")
