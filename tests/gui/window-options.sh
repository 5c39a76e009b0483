#!/usr/bin/env bash
# The window's command line: the filter options of gruvik2-cli journal before
# the image; options it cannot take end the program at once with status 2 and
# the reason and usage on stderr, before any window. Needs a display.
# Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
refused() {  # refused REASON ARGS...: status 2, REASON and the usage on stderr
    local reason=$1
    shift
    timeout 60 "$BIN"/gruvik2 "$@" 2>"$WORK/err" >/dev/null
    local status=$?
    if [ $status -eq 2 ] && grep -qF -- "$reason" "$WORK/err" &&
        grep -qF "Использование: gruvik2 [фильтр] [ОБРАЗ.rpd]" "$WORK/err"; then
        echo "ok: $* refused"
    else
        echo "FAILED: $* (status $status)"; cat "$WORK/err"
        failures=$((failures + 1))
    fi
}
refused "неизвестный параметр: --bogus" --bogus 1 "$BIN"/demo.rpd
refused "неверное значение --level: 7" --level 7 "$BIN"/demo.rpd
refused "параметру --max нужно значение" "$BIN"/demo.rpd --max
refused "лишний аргумент" "$BIN"/demo.rpd "$BIN"/demo.rpd
refused "параметр --out здесь не принимается" --out "$WORK/x.html" "$BIN"/demo.rpd
[ -e "$WORK/x.html" ] && { echo "FAILED: --out wrote a file"; failures=$((failures + 1)); }
exit $((failures > 0))
