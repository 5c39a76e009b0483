#!/usr/bin/env bash
# An output aimed at the image being read, by its name, a symbolic link or a
# hard link: refused with exit 2 and a message, the image left as it was.
# Argument: the build folder.
set -uo pipefail
BIN=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

"$BIN"/gruvik2-mkimage a.rpd
cp a.rpd orig.rpd
ln -s a.rpd link.rpd
ln a.rpd hard.rpd
while IFS='|' read -r out args; do
    # shellcheck disable=SC2086
    "$BIN"/gruvik2-cli $args --out "$out" >/dev/null 2>err.txt
    check "$args --out $out: exits 2" [ $? -eq 2 ]
    check "$args --out $out: says it is the input" grep -q "это входной файл" err.txt
    check "$args --out $out: the image is as it was" cmp -s orig.rpd a.rpd
done <<'CASES'
a.rpd|protocol a.rpd
a.rpd|summary a.rpd
link.rpd|events a.rpd --format csv
hard.rpd|journal a.rpd
a.rpd|graph a.rpd
link.rpd|protocol a.rpd --format json
hard.rpd|summary orig.rpd a.rpd --format json
CASES

"$BIN"/gruvik2-cli protocol a.rpd --out other.html
check "another output is still written" [ -s other.html ]

[ $failures -eq 0 ]
