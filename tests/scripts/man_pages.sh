#!/usr/bin/env bash
# The manual pages render without a warning or a stray control byte, and show every command
# and option the programs' --help names, as --help writes them.
# Usage: man_pages.sh ROOT XIEPIN XIEPIN_CLI XIEPIN_RADIO
set -uo pipefail
root=$1
gui=$2
cli=$3
radio=$4
export LC_ALL=C.UTF-8
failed=0
fail() { echo "$*"; failed=1; }

# Plain text as man shows it, with groff's typographic hyphens and minus signs made '-'.
render() { groff -k -man -Tutf8 -P-cbou "$1" 2>/dev/null | sed 's/\xe2\x88\x92/-/g; s/\xe2\x80\x90/-/g' | tr -s ' '; }

for page in "$root"/data/man/*.1; do
    warnings=$(groff -k -man -ww -z -Tutf8 "$page" 2>&1)
    [ -z "$warnings" ] || fail "$page: $warnings"
    if LC_ALL=C grep -n -P '[\x00-\x08\x0b-\x1f\x7f]' "$page"; then
        fail "$page: control bytes (a \\f written as a form feed?)"
    fi
done

# Each command's synopsis line of 'xiepin-cli --help': "  clone IMAGE --port P1 ...  what it does".
cli_page=$(render "$root/data/man/xiepin-cli.1")
while IFS= read -r synopsis; do
    grep -qF -- "$synopsis" <<<"$cli_page" || fail "xiepin-cli.1 lacks the synopsis: $synopsis"
done < <("$cli" --help 2>&1 | sed -n '/^Commands:/,/^$/p' | grep '^  [a-z]' | sed 's/^  //; s/  .*//')

# The options of a Qt program's --help, without Qt's own.
options() { "$@" --help 2>&1 | grep -oE '^ +(-[a-z], )?--[a-z-]+' | sed -E 's/^ +(-[a-z], )?//' | grep -vx -e --help -e --help-all -e --version; }

# Each option of xiepin, and each option and fault of xiepin-radio.
gui_page=$(render "$root/data/man/xiepin.1")
while IFS= read -r word; do
    grep -qF -- "$word" <<<"$gui_page" || fail "xiepin.1 lacks: $word"
done < <(options env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$gui")
# Help and version need no display, as over ssh or on a console.
for flag in --help --version; do
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$gui" "$flag" >/dev/null 2>&1 || fail "xiepin $flag failed without a display"
done
radio_page=$(render "$root/data/man/xiepin-radio.1")
while IFS= read -r word; do
    grep -qF -- "$word" <<<"$radio_page" || fail "xiepin-radio.1 lacks: $word"
done < <("$radio" --help 2>&1 | sed -n '/^Faults/,/^$/p' | grep -oE '^  [a-z-]+' | sed 's/^  //'; options "$radio")
exit $failed
