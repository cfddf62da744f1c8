#!/usr/bin/env bash
# The English translation is up to date: lupdate over the sources adds, drops or leaves
# unfinished no text of translations/xiepin_en.ts. Usage: translations_complete.sh LUPDATE ROOT
set -euo pipefail
lupdate=$1
root=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$root/translations/xiepin_en.ts" "$scratch/xiepin_en.ts"
"$lupdate" -no-obsolete -locations none -silent "$root/src" -ts "$scratch/xiepin_en.ts" >/dev/null 2>&1
if ! diff -u "$root/translations/xiepin_en.ts" "$scratch/xiepin_en.ts"; then
    echo "translations/xiepin_en.ts is not up to date: run the target update_translations and translate what it adds"
    exit 1
fi
if grep -n 'type="unfinished"' "$scratch/xiepin_en.ts"; then
    echo "translations/xiepin_en.ts has unfinished texts"
    exit 1
fi
