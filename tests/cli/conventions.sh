#!/usr/bin/env bash
# Every program's command line: --help/-h and --version/-V on stdout with
# status 0 (for each sub-command too), an unknown option or a missing value
# refused with status 2 and named on stderr, no file made of an option-like
# argument, --opt=value and --, "--out -" as stdout (a closed pipe: files.sh).
# Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/run"
cd "$WORK/run"
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
has() {  # has PATTERN FILE: a line matches, or the file is empty for the pattern ""
    if [ -z "$1" ]; then [ ! -s "$2" ]; else grep -qE -- "$1" "$2"; fi
}
answers() {  # answers STATUS STDOUT-PATTERN STDERR-PATTERN COMMAND...: status and streams
    local status=$1 out=$2 err=$3
    shift 3
    "$@" >"$WORK/out.txt" 2>"$WORK/err.txt"
    local got=$?
    [ $got -eq "$status" ] && has "$out" "$WORK/out.txt" && has "$err" "$WORK/err.txt" ||
        { echo "  status $got: $(head -c 300 "$WORK/out.txt") | $(head -c 300 "$WORK/err.txt")"; return 1; }
}

programs="gruvik2-cli gruvik2-mkimage gruvik2-demo gruvik2-reader-emu"
[ -x "$BIN/gruvik2" ] && programs="gruvik2 $programs"
for p in $programs; do
    for h in --help -h; do
        check "$p $h" answers 0 "^Использование: $p" "" env -u DISPLAY "$BIN/$p" $h
    done
    for v in --version -V; do
        check "$p $v" answers 0 "^$p 1\.0\.0$" "" env -u DISPLAY "$BIN/$p" $v
    done
    check "$p refuses an unknown option" answers 2 "" "неизвестный параметр: --bogus" \
        env -u DISPLAY "$BIN/$p" --bogus x.rpd
done
check "no file is made of an option-like argument" [ -z "$(ls -A)" ] || ls -A
for c in events journal protocol graph summary info read write; do
    check "gruvik2-cli $c --help" answers 0 "^Использование: gruvik2-cli $c " "" \
        "$BIN"/gruvik2-cli $c --help
done
check "a missing value is named" answers 2 "" "параметру --level нужно значение" \
    "$BIN"/gruvik2-cli journal "$BIN"/demo.rpd --level
check "an unknown command is named" answers 2 "" "неизвестная команда: jurnal" \
    "$BIN"/gruvik2-cli jurnal
check "an impossible date is refused with the forms" \
    answers 2 "" "неверное значение --from: 31/02/2024 00:00:00 \(ожидается ДД/ММ/ГГГГ" \
    "$BIN"/gruvik2-cli journal "$BIN"/demo.rpd --from '31/02/2024 00:00:00'
check "an ISO time, --opt=value and --out - work" answers 0 "." "" \
    "$BIN"/gruvik2-cli events --from=2024-04-25T09:00:00 --to 26.04.2024 --out - "$BIN"/demo.rpd
check "-- ends the options" answers 2 "" "не могу открыть файл!.*--level" \
    "$BIN"/gruvik2-cli info -- --level
"$BIN"/gruvik2-mkimage -- -x.rpd
check "after --, an option-like name is a file" [ -s ./-x.rpd ]

exit $((failures > 0))
