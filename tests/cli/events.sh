#!/usr/bin/env bash
# gruvik2-cli events: one event a line in four columns, whatever bytes the
# recorder holds; exit statuses and messages of images it cannot analyse.
# Argument: the build folder.
set -uo pipefail
BIN=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export TZ=UTC
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# The full memory's serial-number records carry every byte value, control
# bytes among them.
"$BIN"/gruvik2-mkimage --full full.rpd
"$BIN"/gruvik2-cli events full.rpd >events.txt 2>err.txt
check "events exits 0" [ $? -eq 0 ]
check "a line per event, many events" [ "$(wc -l <events.txt)" -gt 100000 ]
check "every line has four columns" [ -z "$(awk -F'\t' 'NF != 4' events.txt | head -1)" ]
check "every line starts with the time" \
    [ -z "$(grep -Ev '^[0-3][0-9]/[01][0-9]/[0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\.[0-9]'$'\t' events.txt | head -1)" ]
check "control bytes of a serial number are escaped" grep -q 'SL_serNo.*\\x0[0-9A-F]' events.txt
check "progress goes to stderr only" [ -z "$(grep -c 'Обработка' events.txt | grep -v '^0$')" ]

"$BIN"/gruvik2-cli events missing.rpd >out.txt 2>err.txt
check "a missing file exits 2" [ $? -eq 2 ]
check "a missing file prints nothing on stdout" [ ! -s out.txt ]
check "a missing file says why" [ -s err.txt ]

head -c 1000 full.rpd >short.rpd
"$BIN"/gruvik2-cli events short.rpd >out.txt 2>err.txt
check "a short file exits 2" [ $? -eq 2 ]
check "a short file says why" [ -s err.txt ]

# Five discrete channels in the header (page 512, byte 5).
cp full.rpd five.rpd
printf '\005' | dd of=five.rpd bs=1 seek=$((512 * 528 + 5)) conv=notrunc 2>/dev/null
"$BIN"/gruvik2-cli events five.rpd >out.txt 2>err.txt
check "another channel count exits 2" [ $? -eq 2 ]
check "another channel count is refused with the program's message" grep -q \
    "Эта версия программы не может работать с количеством дискретных каналов, отличных от 6!" err.txt
check "a refused image prints no events" [ ! -s out.txt ]

[ $failures -eq 0 ]
