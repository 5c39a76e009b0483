#!/usr/bin/env bash
# Writes of the passport that cannot be done whole: pages refused or not
# answered, a reader that falls silent, another recorder, images that must
# not be written. Each fails with exit 2 and says what became of the
# recorder. Argument: the build folder.
set -uo pipefail
BIN=$1
source "$(dirname "$0")/../checks.bash"
cli() { GRUVIK2_BRIDGES=$EMU_PATH "$BIN"/gruvik2-cli-emulated "$@"; }
patch() {  # patch FILE OFFSET TEXT
    printf '%s' "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}

"$BIN"/gruvik2-mkimage src.rpd
cp src.rpd edited.rpd
patch edited.rpd 700 edited     # page 1
patch edited.rpd 2200 edited    # page 4

# Faults, the message expected, and whether pages went in before it.
while IFS='|' read -r name switches message; do
    emulator src.rpd $switches
    cli write edited.rpd >out.txt 2>err.txt
    check "$name: exits 2" [ $? -eq 2 ]
    check "$name: says what became of the passport" grep -q "$message" err.txt
    check "$name: reports no success" bash -c '! grep -q "успешно" out.txt'
done <<'CASES'
refused|--refuse-writes|Страницы 0, 1, 2, 3, 4, 5, 6, 7 не записаны.*Паспорт в регистратор не записан
bad status for pages 0-4|--bad-status 0-4|Страницы 0, 1, 2, 3, 4 не записаны
bad status for page 4 only|--bad-status 4|Страницы 4 не записаны.*записан частично: запишите его еще раз
silent after the first page|--silent-after 3|мог быть записан частично: запишите его еще раз
CASES

# Another recorder: refused unless --force.
cp src.rpd other.rpd
serial=$(grep -boa 0417 src.rpd | head -1 | cut -d: -f1)
patch other.rpd "$serial" 9999
emulator other.rpd --out written.rpd
cli write edited.rpd >/dev/null 2>err.txt
check "another recorder: exits 2" [ $? -eq 2 ]
check "another recorder: names both serial numbers" grep -q "9999.*0417\|0417.*9999" err.txt
check "another recorder: points to --force" grep -q -- "--force" err.txt
cli write --force edited.rpd >out.txt 2>&1
check "another recorder with --force: exits 0" [ $? -eq 0 ]
check "another recorder with --force: pages written" grep -q "записано 2" out.txt

# Images that are not written at all.
emulator src.rpd
cp edited.rpd nopassport.rpd
head -c $((528 * 8)) /dev/zero | tr '\0' '\377' | dd of=nopassport.rpd conv=notrunc 2>/dev/null
cli write nopassport.rpd >/dev/null 2>err.txt
check "an image without a passport: exits 2" [ $? -eq 2 ]
check "an image without a passport: says so" grep -q "нет паспорта" err.txt
cp edited.rpd eight.rpd
printf '\010' | dd of=eight.rpd bs=1 seek=$((512 * 528 + 5)) conv=notrunc 2>/dev/null
cli write eight.rpd >/dev/null 2>err.txt
check "an image the analysis refuses: exits 2" [ $? -eq 2 ]
check "an image the analysis refuses: says why" [ -s err.txt ]

[ $failures -eq 0 ]
