#!/usr/bin/env bash
# Times xiepin-cli against the virtual radio at real 9600-baud pace (xiepin-radio --timing) and
# prints each time as a ratio to its wire time: every byte the command moves, both ways, at
# 1.0417 ms (10 bits at 9600 baud). Measured: a whole backup, a whole restore (with and without
# its read-back verify), the main read (backup --areas main) and the main write (restore --areas
# main). Each time is the command's wall time, process start included. A benchmark, not a test:
# it prints figures and fails only when a command fails. Builds into build/ when needed.
#   scripts/bench.sh [RUNS]    (default 3; min and median are printed)
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
source "$XIEPIN_ROOT/scripts/radio.sh"
runs=${1:-3}
# The backups that every command saves stay in the scratch folder.
export XDG_DATA_HOME="$work/data"

# Bytes on the wire. A read of B blocks of which M are main blocks (channels and settings):
#   tool:  "PROGRAM" (7) when M > 0, a 4-byte request per block, and a 06 for every reply whose
#          data byte 1 is 0x30 (the radio asks for one)
#   radio: 06 for the handshake when M > 0, a 34-byte reply per block
# A write of B blocks, F of them FSK blocks (32 bytes, no check value):
#   tool:  "PROGRAM" (7) when M > 0, 34 bytes per block but 32 per FSK block
#   radio: 06 for the handshake when M > 0, 06 per block
# backup = read(all 52); restore = read(52) for its backup + write(52) + read(52) to verify;
# restore --no-verify = read(52) + write(52); the main read = read(17); the main write =
# read(17) + write(17) + read(17).
read_bytes() {  # blocks, main blocks, tool acknowledgements
    local handshake=$(( $2 > 0 ? 7 + 1 : 0 ))
    echo $((handshake + $1 * 4 + $1 * 34 + $3))
}
write_bytes() {  # blocks, main blocks, FSK blocks
    local handshake=$(( $2 > 0 ? 7 + 1 : 0 ))
    echo $((handshake + $1 * 34 - $3 * 2 + $1))
}
# Blocks of an image file whose data byte 1 is 0x30, in the given areas (a regular expression).
acked_blocks() {  # image, areas
    awk -v areas="^($2)\$" 'NF == 3 && $1 ~ areas && substr($3, 3, 2) == "30" { n++ } END { print n + 0 }' "$1"
}

elapsed_ms() {  # runs the command, prints its wall time in ms
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "bench: $* failed" >&2; return 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

report() {  # name, bytes, list of times
    local name=$1 bytes=$2; shift 2
    printf '%s\n' "$@" | sort -n | awk -v name="$name" -v bytes="$bytes" '
        { t[NR] = $1 }
        END {
            wire = bytes * 10000 / 9600
            printf "%-22s %5d bytes  wire %5.0f ms   min %5d ms (%.2f x)   median %5d ms (%.2f x)\n",
                name, bytes, wire, t[1], t[1] / wire, t[int((NR + 1) / 2)], t[int((NR + 1) / 2)] / wire
        }'
}

# Runs one xiepin-cli command against a fresh radio started with the given options; prints ms.
timed() {  # radio options (one word, may be empty), xiepin-cli arguments...
    local options=$1; shift
    # shellcheck disable=SC2086
    start_radio --timing $options
    # Run in a subshell: the radio started here is stopped here, also when the command fails.
    local ms status=0
    ms=$(elapsed_ms "$bin/xiepin-cli" "$@" --port "$device") || status=$?
    stop_radio
    [ "$status" -eq 0 ] || exit 1
    echo "$ms"
}

image="$work/radio.img"
start_radio --timing
"$bin/xiepin-cli" backup --port "$device" -o "$image" >/dev/null 2>&1
stop_radio
all_acks=$(acked_blocks "$image" '[0-5]')
main_acks=$(acked_blocks "$image" '0|5')
backup_bytes=$(read_bytes 52 17 "$all_acks")
restore_bytes=$((2 * backup_bytes + $(write_bytes 52 17 3)))
restore_noverify_bytes=$((backup_bytes + $(write_bytes 52 17 3)))
main_read_bytes=$(read_bytes 17 17 "$main_acks")
main_write_bytes=$((2 * main_read_bytes + $(write_bytes 17 17 0)))

backups=() restores=() unverified=() main_reads=() main_writes=()
for _ in $(seq "$runs"); do
    backups+=("$(timed "" backup -o "$work/copy.img")")
    restores+=("$(timed --empty restore "$image")")
    unverified+=("$(timed --empty restore --no-verify "$image")")
    main_reads+=("$(timed "" backup --areas main -o "$work/main.img")")
    main_writes+=("$(timed --empty restore --areas main "$image")")
done
echo "xiepin-cli against xiepin-radio --timing, $runs runs each; the load average was $(cut -d' ' -f1-3 /proc/loadavg)"
report "backup" "$backup_bytes" "${backups[@]}"
report "restore" "$restore_bytes" "${restores[@]}"
report "restore --no-verify" "$restore_noverify_bytes" "${unverified[@]}"
report "main read" "$main_read_bytes" "${main_reads[@]}"
report "main write" "$main_write_bytes" "${main_writes[@]}"

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
