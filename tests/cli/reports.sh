#!/usr/bin/env bash
# gruvik2-cli events, journal, protocol and graph: one event a line in four
# columns, whatever bytes the recorder holds; the documents in Windows-1251;
# the graph as a picture of the asked size and window; exit statuses and
# messages of images and options they cannot take.
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

# The journal and the protocol of a small image, as Windows-1251 files.
"$BIN"/gruvik2-mkimage small.rpd
in1251() { iconv -f WINDOWS-1251 -t UTF-8 "$1" | grep -q "$2"; }
"$BIN"/gruvik2-cli journal small.rpd --out journal.html --level 5 --max 3
check "journal exits 0" [ $? -eq 0 ]
check "journal has its title in Windows-1251" in1251 journal.html "Журнал событий регистратора параметров"
check "journal is not UTF-8" bash -c '! iconv -f UTF-8 -t UTF-8 journal.html >/dev/null 2>&1'
check "journal keeps to --max" [ "$(iconv -f WINDOWS-1251 -t UTF-8 journal.html | grep -o '[0-9][0-9]/[0-9][0-9]/20[0-9][0-9] ' | wc -l)" -eq 3 ]
"$BIN"/gruvik2-cli journal small.rpd --level 9 >out.txt 2>err.txt
check "journal refuses a level outside 1..5" [ $? -eq 2 ]
check "the refusal names the option" grep -q -- "--level" err.txt

"$BIN"/gruvik2-cli protocol small.rpd >protocol.html
check "protocol exits 0" [ $? -eq 0 ]
check "protocol has its title in Windows-1251" in1251 protocol.html "Протокол условий эксплуатации крана"
"$BIN"/gruvik2-cli protocol small.rpd --level 3 >out.txt 2>err.txt
check "protocol refuses the filter's options" [ $? -eq 2 ]
check "the refusal says why" grep -q -- "--level к протоколу не относится" err.txt
check "a refused protocol writes nothing" [ ! -s out.txt ]

# The graph of the small image as a PNG picture.
size() { identify -format '%wx%h' "$1"; }
"$BIN"/gruvik2-cli graph small.rpd --out hour.png --width 800 --height 500 --scale "1 час"
check "graph exits 0" [ $? -eq 0 ]
check "graph is a PNG of the asked size" [ "$(size hour.png)" = 800x500 ]
"$BIN"/gruvik2-cli graph small.rpd --out default.png
check "graph's default size is 1280x800" [ "$(size default.png)" = 1280x800 ]
"$BIN"/gruvik2-cli graph small.rpd --out five.png --width 800 --height 500 --scale 5
check "a scale by its index is the scale by its item" cmp -s hour.png five.png
"$BIN"/gruvik2-cli graph small.rpd --out day.png --width 800 --height 500 --scale "24 часа"
check "another scale draws another picture" bash -c '! cmp -s hour.png day.png'
"$BIN"/gruvik2-cli graph small.rpd --out later.png --width 800 --height 500 --scale "1 час" \
    --start "05/03/2024 09:00:00"
check "--start moves the window" bash -c '! cmp -s hour.png later.png'
"$BIN"/gruvik2-cli graph small.rpd --out none.png --from "01/01/2030 00:00:00" 2>err.txt
check "a graph of no events exits 0" [ $? -eq 0 ]
check "a graph of no events is still drawn" [ -s none.png ]
check "a graph of no events says so" grep -q "фильтр не выбрал ни одного события" err.txt
for bad in "--scale|2 часа" "--width|0" "--height|16385" "--start|вчера"; do
    rm -f out.png
    "$BIN"/gruvik2-cli graph small.rpd --out out.png "${bad%%|*}" "${bad#*|}" 2>err.txt
    check "graph refuses ${bad%%|*} ${bad#*|}" [ $? -eq 2 ]
    check "the refusal names ${bad%%|*}" grep -q -- "неверное значение ${bad%%|*}" err.txt
    check "a refused graph writes no picture" [ ! -e out.png ]
done
"$BIN"/gruvik2-cli graph small.rpd 2>err.txt
check "graph without --out exits 2" [ $? -eq 2 ]
check "graph without --out says it is needed" grep -q -- "нужен --out ФАЙЛ.png" err.txt
"$BIN"/gruvik2-cli graph small.rpd --out missing-folder/g.png 2>err.txt
check "a picture that cannot be written exits 2" [ $? -eq 2 ]
check "the failure names the file" grep -qF "не могу открыть/создать файл! (missing-folder/g.png: " err.txt

[ $failures -eq 0 ]
