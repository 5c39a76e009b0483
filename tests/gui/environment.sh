#!/usr/bin/env bash
# The program in odd environments: no HOME, an unwritable HOME, the C locale
# with Cyrillic file names, no display. Needs a display (for all but the
# last). Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
while IFS='|' read -r name setting; do
    rm -f out.pdf
    # shellcheck disable=SC2086
    env $setting timeout 60 "$BIN"/gruvik2 --print-pdf out.pdf --page protocol "$BIN"/demo.rpd 2>err.txt
    check "$name: exits 0 in time" [ $? -eq 0 ]
    check "$name: the PDF is there" [ -s out.pdf ]
done <<'CASES'
HOME unset|-u HOME
HOME missing|HOME=/nonexistent
HOME not writable, even for root|HOME=/proc
CASES

cp "$BIN"/demo.rpd 'кран.rpd'
for locale in C POSIX C.UTF-8; do
    rm -f 'протокол.pdf'
    LANG=$locale LC_ALL=$locale timeout 60 "$BIN"/gruvik2 --print-pdf 'протокол.pdf' --page protocol 'кран.rpd' 2>err.txt
    check "LANG=$locale: a Cyrillic image and output name: exits 0" [ $? -eq 0 ]
    check "LANG=$locale: the output has the name given" [ -s 'протокол.pdf' ]
done
LANG=C LC_ALL=C timeout 60 "$BIN"/gruvik2 --print-pdf out.pdf --page protocol 'нет.rpd' 2>err.txt
check "LANG=C: a missing Cyrillic image is named as given" grep -q "нет.rpd" err.txt

env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "$BIN"/gruvik2 --print-pdf out.pdf --page protocol "$BIN"/demo.rpd 2>err.txt
check "no display: exits 2" [ $? -eq 2 ]
check "no display: says why" [ -s err.txt ]

[ $failures -eq 0 ]
