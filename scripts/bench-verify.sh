#!/usr/bin/env bash
# Times 'xiepin-cli write' of a configuration file with its read-back verify and with
# --no-verify against the virtual radio at real 9600-baud pace (xiepin-radio --timing) and
# prints the ratio of the two. Both read the radio first (that read is the backup); the verify
# adds one more read of the 17 blocks written, so the ratio should stay near 1.5 (its share of
# the bytes on the wire).
# A benchmark, not a test: it prints figures and fails only when a command fails. Builds into
# build/ when needed.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
source "$XIEPIN_ROOT/scripts/radio.sh"
runs=${1:-3}
# The backups of these runs stay in the scratch folder.
export XDG_DATA_HOME="$work/data"

elapsed_ms() {  # runs the command, prints its wall time in ms
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "bench-verify: $* failed" >&2; exit 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() {
    printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

start_radio --timing
"$bin/xiepin-cli" read --port "$device" -o "$work/radio.qz" >/dev/null 2>&1
verified=()
unverified=()
for _ in $(seq "$runs"); do
    verified+=("$(elapsed_ms "$bin/xiepin-cli" write --port "$device" "$work/radio.qz")")
    unverified+=("$(elapsed_ms "$bin/xiepin-cli" write --no-verify --port "$device" "$work/radio.qz")")
done
stop_radio

with=$(median "${verified[@]}")
without=$(median "${unverified[@]}")
awk -v with="$with" -v without="$without" 'BEGIN {
    ratio = with / without
    printf "write with verify %5d ms, with --no-verify %5d ms (medians): ratio %.2f\n", with, without, ratio
}'
