#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Sourced by run.sh, test.sh and package.sh. Without root and without sudo it cannot install:
# it then prints the command for root to run and fails.
XIEPIN_PACKAGES=(g++ clang libclang-rt-14-dev lld cmake ninja-build pkgconf qt6-base-dev qt6-base-dev-tools qt6-tools-dev
                 qt6-l10n-tools libgl-dev libudev-dev
                 qt6-translations-l10n fonts-noto-cjk fonts-wqy-microhei xvfb xauth poppler-utils groff-base)

xiepin_missing_packages() {
    local p
    for p in "${XIEPIN_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

xiepin_install_deps() {
    local missing
    mapfile -t missing < <(xiepin_missing_packages)
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            cat >&2 <<MESSAGE
Missing Debian packages: ${missing[*]}
Installing them needs root, and sudo is not installed. Run this as root (su -), then try again:

    apt-get install ${missing[*]}

Or install sudo as root (apt-get install sudo; usermod -aG sudo $(id -un)), log in again and
run this script once more.
MESSAGE
            return 1
        fi
        sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

xiepin_build() {
    local dir=$1; shift
    cmake -S "$XIEPIN_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
