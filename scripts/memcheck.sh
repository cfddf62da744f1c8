#!/usr/bin/env bash
# Runs a command-line backup and restore against the virtual radio under valgrind's memcheck
# and fails on any error it reports (invalid reads and writes, uninitialised values, leaks
# that are definitely lost). Builds into build/ when needed.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
XIEPIN_PACKAGES+=(valgrind)
source "$XIEPIN_ROOT/scripts/radio.sh"

# Regular expressions run as PCRE2 machine code made at run time, where memcheck sees no symbols
# and reports its reads as uninitialised; the interpreter runs the same expressions in code it knows.
export QT_ENABLE_REGEXP_JIT=0

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
