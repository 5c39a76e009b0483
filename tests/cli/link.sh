#!/usr/bin/env bash
# gruvik2-cli read and write against the reader emulator: exit statuses, the
# saved files, --device, Ctrl-C. Argument: the build folder.
set -uo pipefail
BIN=$1
source "$(dirname "$0")/../checks.bash"
cli() { GRUVIK2_BRIDGES=$BRIDGES "$BIN"/gruvik2-cli-emulated "$@"; }

"$BIN"/gruvik2-mkimage src.rpd
head -c 4325376 /dev/zero | tr '\0' '\377' >other.rpd
printf 'other' | dd of=other.rpd bs=1 seek=2000 conv=notrunc 2>/dev/null

emulator src.rpd --out saved.rpd
A=$EMU_PATH A_PID=$EMU_PID
emulator other.rpd
B=$EMU_PATH

BRIDGES=$A
cli read new.rpd >out.txt 2>err.txt
check "read exits 0" [ $? -eq 0 ]
check "read copies the recorder" cmp -s src.rpd new.rpd
check "read reports success" grep -q "Cчитывание данных успешно завершено" out.txt
check "read into a new file takes every page" grep -qx \
    "Страниц памяти: считано 8192 пропущено 0 повторено 0; Источник данных: регистратор параметров; файл сохранен" out.txt

cp src.rpd edited.rpd
printf 'edited' | dd of=edited.rpd bs=1 seek=700 conv=notrunc 2>/dev/null
cli write edited.rpd >out.txt 2>&1
check "write exits 0" [ $? -eq 0 ]
check "write sends one page" grep -qx "Страниц памяти: записано 1 пропущено 7 отклонено 0" out.txt
kill -TERM "$A_PID"; wait "$A_PID"
check "emulator saves what was written on exit" cmp -s -n 4224 saved.rpd edited.rpd

BRIDGES=$A:$B
cli read --device 1 fromb.rpd >/dev/null 2>&1
check "--device 1 reads the second bridge" cmp -s other.rpd fromb.rpd
cli read --device 2 none.rpd >/dev/null 2>err.txt
check "--device beyond the bridges fails with 2" [ $? -eq 2 ]
check "--device beyond the bridges says so" grep -q "подключено устройств считывания: 2" err.txt

emulator src.rpd --silent-after 3
BRIDGES=$EMU_PATH
cp other.rpd keep.rpd
cli read keep.rpd >/dev/null 2>err.txt
check "silent device fails with 2" [ $? -eq 2 ]
check "silent device message" grep -q "несоответствие потока данных при приеме" err.txt
check "failed read leaves the file" cmp -s other.rpd keep.rpd

emulator src.rpd --rate 20000 --bad-crc-always 512
BRIDGES=$EMU_PATH
GRUVIK2_BRIDGES=$BRIDGES "$BIN"/gruvik2-cli-emulated read keep.rpd >out.txt 2>/dev/null &
CLI_PID=$!
sleep 2
kill -INT "$CLI_PID"
wait "$CLI_PID"
check "Ctrl-C exits 1" [ $? -eq 1 ]
check "Ctrl-C reports the cancel" grep -q "Cчитывание данных прервано, файл не обновлен" out.txt
check "cancelled read leaves the file" cmp -s other.rpd keep.rpd

BRIDGES=/nonexistent/tty
cli write src.rpd >/dev/null 2>err.txt
check "missing device fails with 2" [ $? -eq 2 ]
check "missing device message" grep -q "не могу открыть USB-порт 2" err.txt

[ $failures -eq 0 ]
