#!/usr/bin/env bash
# Repeats a main read, a main write and a read and write of every signalling area CYCLES times
# (default 500) against the virtual radio with random faults on PERCENT % of its answers
# (default 5): dropped, split, noise first, wrong block, far block. Compares the radio's
# memory after every write and every read with what was written; prints the counts of
# transfers, faults met, resends and mismatches, and fails on a mismatch. Builds into build/.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
xiepin_install_deps
cmake -S "$XIEPIN_ROOT" -B "$XIEPIN_ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$XIEPIN_ROOT/build" -j"$(nproc)" --target xiepin-soak >/dev/null
"$XIEPIN_ROOT/build/tests/xiepin-soak" "${1:-500}" "${2:-5}" "${3:-1}"
