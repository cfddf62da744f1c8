#!/usr/bin/env bash
# Times a whole-radio backup and restore with xiepin-cli against the virtual radio at real
# 9600-baud pace (xiepin-radio --timing) and prints each as a ratio to its wire time: every
# byte both ways at 1.0417 ms (10 bits at 9600 baud). A benchmark, not a test: it prints
# figures and fails only when a transfer fails. Builds into build/ when needed.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
source "$XIEPIN_ROOT/scripts/radio.sh"
runs=${1:-3}

# Bytes on the wire for the 52 blocks of a whole radio (3 of them FSK blocks without a check value):
#   backup:  "PROGRAM" + 52 four-byte requests; 06 + 52 replies of 34 bytes
#   restore: "PROGRAM" + 49 blocks of 34 bytes + 3 of 32; 06 for the handshake and every block
backup_bytes=$((7 + 52 * 4 + 1 + 52 * 34))
restore_bytes=$((7 + 49 * 34 + 3 * 32 + 1 + 52))

elapsed_ms() {  # runs the command, prints its wall time in ms
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "bench: $* failed" >&2; exit 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

report() {  # name, bytes, list of times
    local name=$1 bytes=$2; shift 2
    printf '%s\n' "$@" | sort -n | awk -v name="$name" -v bytes="$bytes" '
        { t[NR] = $1 }
        END {
            wire = bytes * 10000 / 9600
            printf "%-8s wire %5.0f ms   min %5d ms (%.2f x)   median %5d ms (%.2f x)\n",
                name, wire, t[1], t[1] / wire, t[int((NR + 1) / 2)], t[int((NR + 1) / 2)] / wire
        }'
}

backups=()
restores=()
for _ in $(seq "$runs"); do
    start_radio --timing
    backups+=("$(elapsed_ms "$bin/xiepin-cli" backup --port "$device" -o "$work/radio.img")")
    stop_radio
    start_radio --timing --empty
    restores+=("$(elapsed_ms "$bin/xiepin-cli" restore --port "$device" "$work/radio.img")")
    stop_radio
done
report backup "$backup_bytes" "${backups[@]}"
report restore "$restore_bytes" "${restores[@]}"

# clone: the backed-up image into 1, 4 and 8 virtual radios at once, each on its own
# pseudo-terminal at real pace, each with its backup read, write and verify. Prints each time
# and the ratio of 8 radios to 1 (the radios should not wait for each other: target 1.15).
fleet_pids=()
start_fleet() {  # count; sets $fleet_ports to "--port P1 --port P2 ..."
    fleet_ports=()
    local i out dev
    for i in $(seq "$1"); do
        out="$work/fleet$i.out"
        "$bin/xiepin-radio" --link "" --timing >"$out" 2>/dev/null &
        fleet_pids+=($!)
        dev=""
        for _ in $(seq 100); do
            dev=$(head -n1 "$out" 2>/dev/null || true)
            [ -n "$dev" ] && break
            sleep 0.05
        done
        [ -n "$dev" ] || { echo "virtual radio $i did not start" >&2; exit 1; }
        fleet_ports+=(--port "$dev")
    done
}
stop_fleet() {
    local pid
    for pid in "${fleet_pids[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
    done
    fleet_pids=()
}
trap 'stop_fleet; radio_cleanup' EXIT

declare -A clone_median
for count in 1 4 8; do
    times=()
    start_fleet "$count"
    for _ in $(seq "$runs"); do
        times+=("$(elapsed_ms "$bin/xiepin-cli" clone "$work/radio.img" "${fleet_ports[@]}")")
    done
    stop_fleet
    clone_median[$count]=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')
    printf 'clone %d  min %5d ms   median %5d ms\n' "$count" \
        "$(printf '%s\n' "${times[@]}" | sort -n | head -n1)" "${clone_median[$count]}"
done
awk -v one="${clone_median[1]}" -v eight="${clone_median[8]}" \
    'BEGIN { printf "clone 8 / clone 1 (medians): %.2f x\n", eight / one }'
