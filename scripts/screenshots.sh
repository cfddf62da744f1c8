#!/usr/bin/env bash
# Renders every window (each page of the editors, the main window empty and after a read, the
# progress window) to PNG files in the given folder, offscreen. Needs a build in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/screenshots}")
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen XIEPIN_SCREENSHOTS="$out"
for test in "$root"/build/tests/test_gui_mainwindow_mainwindow "$root"/build/tests/test_gui_editors_*window; do
    [ -f "$test" ] && [ -x "$test" ] || continue
    "$test" -silent screenshots >/dev/null || { echo "$(basename "$test") failed" >&2; exit 1; }
done
ls "$out"
