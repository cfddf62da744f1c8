# Starts and stops one virtual radio for the scripts that drive xiepin-cli against it.
# Sourced after deps.sh with XIEPIN_ROOT set: builds xiepin-cli and xiepin-radio into build/
# when needed, sets $bin (that folder) and $work (a scratch folder removed at exit, with the
# radio stopped).

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

xiepin_install_deps
cmake -S "$XIEPIN_ROOT" -B "$XIEPIN_ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$XIEPIN_ROOT/build" -j"$(nproc)" --target xiepin-cli xiepin-radio >/dev/null
bin="$XIEPIN_ROOT/build"
work=$(mktemp -d)
radio_cleanup() {
    stop_radio
    rm -rf "$work"
}
trap radio_cleanup EXIT
