#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual radio and the program on its port.
# Without a display the command line reads the virtual radio instead, so there is still
# something to see.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
xiepin_install_deps
cmake -S "$XIEPIN_ROOT" -B "$XIEPIN_ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$XIEPIN_ROOT/build" -j"$(nproc)" --target xiepin xiepin-radio xiepin-cli

bin="$XIEPIN_ROOT/build"
if [ -n "${XDG_RUNTIME_DIR:-}" ] && [ -d "$XDG_RUNTIME_DIR" ]; then
    link="$XDG_RUNTIME_DIR/xiepin-radio"
else
    link="/tmp/xiepin-radio-$(id -u)"
fi

"$bin/xiepin-radio" --timing --link "$link" >/dev/null &
radio=$!
stop_radio() { kill "$radio" 2>/dev/null || true; wait "$radio" 2>/dev/null || true; }
trap stop_radio EXIT
trap 'exit 130' INT TERM
for _ in $(seq 50); do
    [ -e "$link" ] && break
    sleep 0.1
done
[ -e "$link" ] || { echo "The virtual radio did not start." >&2; exit 1; }
echo "Virtual radio on $link"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    "$bin/xiepin" --port "$link" "$@"
else
    echo "No display: reading the virtual radio with the command line (xiepin-cli read --port $link)."
    "$bin/xiepin-cli" read --port "$link"
fi
