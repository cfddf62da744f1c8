#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual radio and the program on its port.
set -euo pipefail
XIEPIN_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$XIEPIN_ROOT/scripts/deps.sh"
xiepin_install_deps
xiepin_build "$XIEPIN_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

exec "$XIEPIN_ROOT/build/xiepin" "$@"
