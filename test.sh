#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a normal build (gcc), then a
# build under AddressSanitizer and UndefinedBehaviorSanitizer (clang). In between, the serial
# device layer is cross-built for Windows and checked under Wine (scripts/test-windows.sh).
# Then the serial, engine and command-line suites under ThreadSanitizer (gcc), and each fuzz
# target for 10 s.
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
# With clang and its linker: faster to build than with gcc, and a second compiler's eye.
# (The thread sanitizer build below stays with gcc: clang 14's runtime fails in a forked child.)
xiepin_build "$XIEPIN_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DXIEPIN_SANITIZE=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld
echo "== sanitizer tests"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$XIEPIN_ROOT/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$XIEPIN_ROOT/build-asan" && ctest --output-on-failure -j"$jobs")

echo "== thread sanitizer build"
# Only what the threaded suites need: the serial port, the engine, the command line, and the
# engine over a real port with early frames.
tsan_tests=(test_core_serial_comm test_core_serial_serialports test_core_serial_portdescription test_core_protocol_frame
            test_core_protocol_programlink test_core_protocol_radioimage test_tools_cli test_tools_earlyframes)
cmake -S "$XIEPIN_ROOT" -B "$XIEPIN_ROOT/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DXIEPIN_TSAN=ON >/dev/null
cmake --build "$XIEPIN_ROOT/build-tsan" -j"$jobs" --target "${tsan_tests[@]}"
echo "== thread sanitizer tests"
# die_after_fork=0: the exclusive-open test forks a second process that opens the port.
export TSAN_OPTIONS="suppressions=$XIEPIN_ROOT/scripts/tsan.supp:halt_on_error=1:second_deadlock_stack=1:die_after_fork=0"
(cd "$XIEPIN_ROOT/build-tsan" && ctest --output-on-failure -j"$jobs" -R '^(core_serial_|core_protocol_|tools_cli$|tools_earlyframes$)')

echo "== fuzz"
"$XIEPIN_ROOT/scripts/fuzz.sh" 10
