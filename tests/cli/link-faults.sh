#!/usr/bin/env bash
# Reads against a reader that misbehaves (the emulator's fault switches) and
# two programs at one line or one file: each either leaves the file equal to
# the recorder or fails with exit 2, a message and the old file. Argument:
# the build folder.
set -uo pipefail
BIN=$1
source "$(dirname "$0")/../checks.bash"
cli() { GRUVIK2_BRIDGES=$EMU_PATH "$BIN"/gruvik2-cli-emulated "$@"; }
erasePages() {  # erasePages FILE FIRST COUNT
    head -c $((528 * $3)) /dev/zero | tr '\0' '\377' | dd of="$1" bs=528 seek="$2" conv=notrunc 2>/dev/null
}

# The full memory holds a written page whose CRC is an erased page's (687).
"$BIN"/gruvik2-mkimage --full full.rpd
emulator full.rpd
cp full.rpd single.rpd; erasePages single.rpd 687 1            # that page alone erased
cp full.rpd behind.rpd; erasePages behind.rpd 600 300          # last visit: the ring was at 600
cp full.rpd newest.rpd; erasePages newest.rpd 687 $((8192 - 687))  # the page was the newest
for f in single behind newest; do
    cli read $f.rpd >out.txt 2>err.txt
    check "$f: read exits 0" [ $? -eq 0 ]
    check "$f: the file equals the recorder" cmp -s full.rpd $f.rpd
    check "$f: the summary counts the pages asked for again" grep -q "перепроверено [1-9]" out.txt
done
cli read full.rpd >out.txt 2>&1
check "reading again moves nothing" grep -q "считано 0 .*файл не обновлен" out.txt

# Status bytes that mean nothing: asked again, then the read fails naming the page.
emulator full.rpd --bad-status 600-609
cp single.rpd kept.rpd
cli read kept.rpd >out.txt 2>err.txt
check "unknown status exits 2" [ $? -eq 2 ]
check "unknown status names the page" grep -q "страницу 600" err.txt
check "unknown status reports no success" bash -c '! grep -q "успешно" out.txt'
check "unknown status leaves the file" cmp -s single.rpd kept.rpd
cli read new.rpd >/dev/null 2>&1
check "unknown status creates no file" [ ! -e new.rpd ]

# Two programs at one line, two reads into one file: the second is told at once.
emulator full.rpd --rate 100000
GRUVIK2_BRIDGES=$EMU_PATH "$BIN"/gruvik2-cli-emulated read first.rpd >/dev/null 2>&1 &
FIRST=$!
PIDS+=("$FIRST")
sleep 1
start=$SECONDS
cli read second.rpd >/dev/null 2>err.txt
check "a second read of a busy line exits 2" [ $? -eq 2 ]
check "a second read is told the line is busy" grep -q "занято" err.txt
check "a second read is told at once" [ $((SECONDS - start)) -le 2 ]
cp single.rpd locked.rpd
emulator full.rpd --rate 100000
GRUVIK2_BRIDGES=$EMU_PATH "$BIN"/gruvik2-cli-emulated read locked.rpd >/dev/null 2>&1 &
LOCKER=$!
PIDS+=("$LOCKER")
sleep 1
emulator full.rpd
cli read locked.rpd >/dev/null 2>err.txt
check "a second read into a file being read exits 2" [ $? -eq 2 ]
check "a second read into a file being read says why" grep -q "другая копия программы" err.txt
kill "$FIRST" "$LOCKER" 2>/dev/null

[ $failures -eq 0 ]
