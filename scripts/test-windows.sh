#!/usr/bin/env bash
# The serial device layer on Windows: cross-built with MinGW-w64 (tests/windows, without Qt) and
# run under Wine in a fresh prefix, where two virtual radios on pseudo-terminals are COM5 and
# COM6, and the registry's serial port key is filled for the port listing.
# Installs MinGW-w64 and Wine when missing; builds xiepin-radio in build/ when missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS

packages=(g++-mingw-w64-x86-64 wine64 wine cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
wine=$(command -v wine || echo /usr/lib/wine/wine64)

radio=$root/build/xiepin-radio
if [ ! -x "$radio" ]; then
    echo "== building xiepin-radio"
    XIEPIN_ROOT=$root
    source "$root/scripts/deps.sh"
    xiepin_install_deps
    [ -f "$root/build/CMakeCache.txt" ] || cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$root/build" --target xiepin-radio -j"$(nproc)"
fi

echo "== windows: cross build"
cmake -S "$root/tests/windows" -B "$root/build-windows" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$root/build-windows" -j"$(nproc)"
check=$root/build-windows/win_device_check.exe

work=$(mktemp -d)
radios=()
cleanup() {
    for pid in "${radios[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# No display: nothing may wait for one. The prefix is new, so no earlier run leaks into this one.
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml="
echo "== windows: wine prefix"
# Persistent, so that the registry's volatile HARDWARE key keeps what is put there between runs.
mkdir -p "$WINEPREFIX"
wineserver -p >"$work/wineserver.log" 2>&1
"$wine" wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }

# Starts a virtual radio and maps its pseudo-terminal to COM<n>.
start_radio() {
    local n=$1; shift
    "$radio" --link "" "$@" >"$work/radio$n.out" 2>"$work/radio$n.err" &
    radios+=($!)
    local device=""
    for _ in $(seq 100); do
        device=$(head -n1 "$work/radio$n.out" 2>/dev/null || true)
        [ -n "$device" ] && break
        sleep 0.1
    done
    [ -n "$device" ] || { echo "xiepin-radio did not start"; cat "$work/radio$n.err"; exit 1; }
    ln -sfn "$device" "$WINEPREFIX/dosdevices/com$n"
}

status=0
run_check() {
    echo "-- win_device_check $*"
    if ! timeout 180 "$wine" "$check" "$@" 2>>"$work/wine.log"; then
        status=1
        tail -n 20 "$work/wine.log"
    fi
}

echo "== windows: checks under Wine"
run_check
start_radio 5 --fault split=2
run_check --radio COM5
start_radio 6 --timing --fault disappear=31
run_check --gone COM6

key='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
reg() { "$wine" reg "$@" >/dev/null 2>&1; }
# Wine fills the key from the machine's serial devices; it starts empty here. Its parent is
# volatile, so the key itself cannot be created again once deleted: that comes last.
reg delete "$key" /va /f
run_check --ports ""
reg add "$key" /v '\Device\Serial0' /t REG_SZ /d COM2 /f
reg add "$key" /v '\Device\Serial1' /t REG_SZ /d COM10 /f
reg add "$key" /v '\Device\Serial2' /t REG_SZ /d COM1 /f
reg add "$key" /v '\Device\VirtualRadio' /t REG_SZ /d COM5 /f
run_check --ports COM1,COM10,COM2,COM5
long=$(printf 'X%.0s' $(seq 300))
reg add "$key" /v '\Device\Long' /t REG_SZ /d "$long" /f
run_check --ports none
reg delete "$key" /v '\Device\Long' /f
reg add "$key" /v "$long" /t REG_SZ /d COM7 /f
run_check --ports none
reg delete "$key" /v "$long" /f
run_check --ports COM1,COM10,COM2,COM5
reg delete "$key" /f
run_check --ports none

echo "== windows: $((SECONDS - started)) s"
exit $status
