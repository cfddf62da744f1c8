#!/usr/bin/env bash
# Runs a command-line backup and restore against the virtual radio under valgrind's memcheck
# and fails on any error it reports (invalid reads and writes, uninitialised values, leaks
# that are definitely lost). Builds into build/ when needed.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
XIEPIN_PACKAGES+=(valgrind)
xiepin_install_deps
cmake -S "$XIEPIN_ROOT" -B "$XIEPIN_ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$XIEPIN_ROOT/build" -j"$(nproc)" --target xiepin-cli xiepin-radio >/dev/null

bin="$XIEPIN_ROOT/build"
work=$(mktemp -d)
radio_pid=""
cleanup() {
    [ -n "$radio_pid" ] && kill "$radio_pid" 2>/dev/null && wait "$radio_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

start_radio() {  # options of xiepin-radio; sets $device
    "$bin/xiepin-radio" --link "" "$@" >"$work/radio.out" &
    radio_pid=$!
    for _ in $(seq 100); do
        device=$(head -n1 "$work/radio.out" 2>/dev/null || true)
        [ -n "$device" ] && return 0
        sleep 0.05
    done
    echo "memcheck: the virtual radio did not start" >&2
    exit 1
}
stop_radio() { kill "$radio_pid" && wait "$radio_pid" 2>/dev/null || true; radio_pid=""; }

memcheck() {  # name, then the xiepin-cli arguments
    local name=$1; shift
    echo "== memcheck: xiepin-cli $*"
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
        --track-origins=yes --log-file="$work/$name.log" "$bin/xiepin-cli" "$@" --timeout 60 \
        || { cat "$work/$name.log"; echo "memcheck: $name failed" >&2; exit 1; }
    grep -E "ERROR SUMMARY|definitely lost" "$work/$name.log"
}

start_radio
memcheck backup backup --port "$device" -o "$work/radio.img"
stop_radio
start_radio --empty
memcheck restore restore --port "$device" "$work/radio.img"
stop_radio
echo "memcheck: no error"
