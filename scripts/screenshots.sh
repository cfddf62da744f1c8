#!/usr/bin/env bash
# Renders every window (each page of the editors, the main window empty and after a read, the
# progress window) and the main window's dialogs and message boxes (CSV import, print preview,
# compare, verify, restore, port and conversion errors, about) to PNG files offscreen, in Chinese
# into <folder>/zh and in English into <folder>/en. Needs a build in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/screenshots}")
export QT_QPA_PLATFORM=offscreen
# The tests' settings, not the user's.
export XDG_CONFIG_HOME="$root/build/test-config"
export XDG_DATA_HOME="$root/build/test-data"
for lang in zh en; do
    mkdir -p "$out/$lang"
    for test in "$root"/build/tests/test_gui_mainwindow_mainwindow "$root"/build/tests/test_gui_mainwindow_fleetdialog \
        "$root"/build/tests/test_gui_mainwindow_dialogshots \
        "$root"/build/tests/test_gui_editors_*window; do
        [ -f "$test" ] && [ -x "$test" ] || continue
        XIEPIN_LANG=$lang XIEPIN_SCREENSHOTS="$out/$lang" "$test" -silent screenshots >/dev/null \
            || { echo "$(basename "$test") failed in $lang" >&2; exit 1; }
    done
done
ls "$out"/*
