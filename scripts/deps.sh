#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Sourced by run.sh and test.sh.
XIEPIN_PACKAGES=(g++ clang libclang-rt-14-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev fonts-noto-cjk xvfb xauth poppler-utils)

xiepin_install_deps() {
    local missing=()
    for p in "${XIEPIN_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

xiepin_build() {
    local dir=$1; shift
    cmake -S "$XIEPIN_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
