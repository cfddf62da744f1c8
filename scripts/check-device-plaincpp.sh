#!/usr/bin/env bash
# Compiles the device layer and its check as plain C++17 with src/core as the only include root,
# so no Qt header can be reached from it. Usage: check-device-plaincpp.sh [compiler]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cxx=${1:-c++}

status=0
for source in "$root"/src/core/device/*.cpp "$root"/tests/core/device/*.cpp; do
    if ! "$cxx" -std=c++17 -pedantic -Wall -Wextra -fsyntax-only -I"$root/src/core" "$source"; then
        echo "${source#$root/}: does not build as plain C++17"
        status=1
    fi
done
exit $status
