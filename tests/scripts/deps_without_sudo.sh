#!/usr/bin/env bash
# scripts/deps.sh for an ordinary user on a Debian without sudo: with packages missing it names
# them, prints the one command for root and fails, instead of stopping on "sudo: not found".
# Runs as nobody when started as root; dpkg-query is a fake that knows two packages as missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
chmod 755 "$bin"
cp "$root/scripts/deps.sh" "$bin/deps.sh"  # readable by nobody wherever the sources live
chmod 644 "$bin/deps.sh"
for tool in bash grep id cat; do ln -s "$(command -v "$tool")" "$bin/$tool"; done
cat >"$bin/dpkg-query" <<'FAKE'
#!/bin/bash
case "$3" in libudev-dev|xvfb) exit 1 ;; esac
printf 'install ok installed'
FAKE
chmod 755 "$bin/dpkg-query"

as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
status=0
out=$("${as_user[@]}" /usr/bin/env -i PATH="$bin" HOME=/ "$bin/bash" -c \
    "source '$bin/deps.sh'; xiepin_install_deps" 2>&1) || status=$?

fail() { echo "FAIL: $1"; echo "--- output:"; echo "$out"; exit 1; }
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
grep -qxF '    apt-get install libudev-dev xvfb' <<<"$out" || fail "no apt-get command for root with the two packages"
grep -q 'Missing Debian packages: libudev-dev xvfb' <<<"$out" || fail "missing packages not named"
grep -q 'sudo is not installed' <<<"$out" || fail "no word on sudo"
if grep -qi 'command not found\|No such file' <<<"$out"; then fail "a shell error"; fi
echo "PASS: deps.sh without root or sudo prints the command for root"
