#!/usr/bin/env bash
# Installs the .deb of scripts/package.sh into a fresh Debian bookworm root with apt and runs
# the command line there. The root is made once with debootstrap under build-package/ and kept;
# each run installs into a copy of it, so every install starts from a clean system.
# Slow (the first run downloads a base system), so not part of test.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-package
base=$out/debian-bookworm
suite=bookworm

need=()
command -v debootstrap >/dev/null || need+=(debootstrap)
[ ${#need[@]} -eq 0 ] || { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"; }
[ "$(id -u)" -eq 0 ] || { echo "test-package.sh makes a chroot: run it as root." >&2; exit 1; }

deb=$(ls -t "$out"/xiepin_*.deb 2>/dev/null | head -n1 || true)
if [ -z "$deb" ]; then
    "$root/scripts/package.sh"
    deb=$(ls -t "$out"/xiepin_*.deb | head -n1)
fi

if [ ! -f "$base/.complete" ]; then
    echo "== debootstrap $suite into $base (once)"
    rm -rf "$base"
    debootstrap --variant=minbase "$suite" "$base" >"$out/debootstrap.log" 2>&1 \
        || { tail -n 20 "$out/debootstrap.log" >&2; exit 1; }
    touch "$base/.complete"
fi

work=$out/debian-test
cleanup() {
    for m in proc dev/pts dev; do mountpoint -q "$work/$m" && umount -l "$work/$m"; done
    rm -rf "$work"
}
trap cleanup EXIT
cleanup
echo "== copying the clean root"
cp -a "$base" "$work"
mount -t proc proc "$work/proc"
mount --bind /dev "$work/dev"
mount --bind /dev/pts "$work/dev/pts"
cp /etc/resolv.conf "$work/etc/resolv.conf"
cp "$deb" "$work/tmp/"

echo "== apt install $(basename "$deb")"
chroot "$work" /usr/bin/env DEBIAN_FRONTEND=noninteractive sh -c \
    "apt-get update -qq && apt-get install -y -qq --no-install-recommends /tmp/$(basename "$deb")" \
    >"$out/apt-install.log" 2>&1 || { tail -n 30 "$out/apt-install.log" >&2; exit 1; }
tail -n 3 "$out/apt-install.log"

echo "== run in the fresh root"
for program in xiepin-cli xiepin-radio; do
    echo "\$ $program --version"
    chroot "$work" /usr/bin/$program --version
done
echo "\$ QT_QPA_PLATFORM=offscreen xiepin --version"
chroot "$work" /usr/bin/env QT_QPA_PLATFORM=offscreen /usr/bin/xiepin --version
echo "\$ ls /usr/share/applications /usr/lib/udev/rules.d"
chroot "$work" ls /usr/share/applications /usr/lib/udev/rules.d
echo "package installed and ran in a fresh Debian $suite root"
