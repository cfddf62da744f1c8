#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang into build-fuzz/ and runs each for
# SECONDS (default 60), one after another, from its seeds in tests/fuzz/corpus/<target>/.
# New inputs go to build-fuzz/corpus/<target>/ (the seed folder stays as committed); a crash
# is written to build-fuzz/crashes/ and fails the script.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
xiepin_install_deps

seconds=${1:-60}
build="$XIEPIN_ROOT/build-fuzz"
cmake -S "$XIEPIN_ROOT/tests/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$XIEPIN_ROOT/scripts/lsan.supp:print_suppressions=0"
mkdir -p "$build/crashes"
for target in configfile radioimage channelcsv programlink areas; do
    mkdir -p "$build/corpus/$target"
    echo "== fuzz $target for ${seconds}s"
    "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -print_final_stats=1 -artifact_prefix="$build/crashes/$target-" \
        "$build/corpus/$target" "$XIEPIN_ROOT/tests/fuzz/corpus/$target" 2>"$build/$target.log" \
        || { tail -n 60 "$build/$target.log"; echo "fuzz: $target failed" >&2; exit 1; }
    grep -E "stat::number_of_executed_units|stat::average_exec_per_sec" "$build/$target.log"
done
