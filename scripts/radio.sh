# Starts and stops one virtual radio for the scripts that drive xiepin-cli against it.
# Sourced; needs $bin (the build folder) and $work (a scratch folder) set by the caller.

radio_pid=""

# Options of xiepin-radio; sets $device to the radio's pseudo-terminal.
start_radio() {
    "$bin/xiepin-radio" --link "" "$@" >"$work/radio.out" 2>/dev/null &
    radio_pid=$!
    for _ in $(seq 100); do
        device=$(head -n1 "$work/radio.out" 2>/dev/null || true)
        [ -n "$device" ] && return 0
        sleep 0.05
    done
    echo "the virtual radio did not start" >&2
    exit 1
}

stop_radio() {
    [ -n "$radio_pid" ] || return 0
    kill "$radio_pid" 2>/dev/null && wait "$radio_pid" 2>/dev/null || true
    radio_pid=""
}
