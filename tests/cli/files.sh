#!/usr/bin/env bash
# gruvik2-cli and the user's files: paths that cannot be opened, files the user
# may not read or write (checked as an unprivileged user when run as root),
# links and owners that a read or a save keeps, reads into a new path that
# fail, FIFOs, output that cannot be written, and the options that used to be
# taken wrongly. Argument: the build folder.
set -uo pipefail
BIN=$1
source "$(dirname "$0")/../checks.bash"
export LC_ALL=C.UTF-8 TZ=UTC
cli() { GRUVIK2_BRIDGES=${BRIDGES:-} "$BIN"/gruvik2-cli-emulated "$@"; }
# fails DESCRIPTION TEXT COMMAND...: exit status 2 and TEXT on stderr.
fails() {
    local description=$1 text=$2
    shift 2
    "$@" >out.txt 2>err.txt
    local status=$?
    check "$description: exit 2" [ $status -eq 2 ]
    check "$description: says \"$text\"" grep -qF -- "$text" err.txt
}
identical() { cmp -s "$1" "$2"; }

"$BIN"/gruvik2-mkimage src.rpd
"$BIN"/gruvik2-mkimage --full full.rpd
head -c 4325376 /dev/zero | tr '\0' '\377' >old.rpd
printf 'old' | dd of=old.rpd bs=1 seek=2000 conv=notrunc 2>/dev/null
emulator src.rpd
BRIDGES=$EMU_PATH

# ---- paths whose status cannot be taken: a message, never an abort ---------
ln -s loop2 loop1.rpd
ln -s loop1.rpd loop2
long=$(printf 'x%.0s' $(seq 300)).rpd
fails "read into a symlink loop" "не могу открыть файл! (loop1.rpd: Too many levels of symbolic links)" \
    cli read loop1.rpd
fails "read into a 300-character name" "не могу открыть файл! ($long: File name too long)" \
    cli read "$long"
fails "events of a symlink loop" "не могу открыть файл! (loop1.rpd: " cli events loop1.rpd

# ---- FIFOs and devices: refused at once ------------------------------------
mkfifo fifo.rpd
for cmd in events info journal protocol; do
    fails "$cmd of a FIFO" "не могу открыть файл! (fifo.rpd: это не обычный файл)" \
        timeout 5 "$BIN"/gruvik2-cli-emulated $cmd fifo.rpd
done
fails "read into a FIFO" "не могу открыть файл! (fifo.rpd: это не обычный файл)" \
    timeout 5 "$BIN"/gruvik2-cli-emulated read fifo.rpd
fails "journal --out a FIFO" "не могу открыть/создать файл! (fifo.rpd: это не обычный файл)" \
    timeout 5 "$BIN"/gruvik2-cli-emulated journal src.rpd --out fifo.rpd
fails "events of a folder" "не могу открыть файл! (.: Is a directory)" cli events .
check "the FIFO is still a FIFO" [ -p fifo.rpd ]

# ---- links and owners survive a read and a save ------------------------------
cp old.rpd target.rpd
ln -s target.rpd link.rpd
cli read link.rpd >/dev/null 2>&1
check "read through a symlink exits 0" [ $? -eq 0 ]
check "the symlink stays a symlink" [ -L link.rpd ]
check "its target holds the recorder" identical target.rpd src.rpd

cp old.rpd first.rpd
ln first.rpd second.rpd
cli read second.rpd >/dev/null 2>&1
check "read into a hard-linked file exits 0" [ $? -eq 0 ]
check "both names are still one file" [ "$(stat -c %i first.rpd)" = "$(stat -c %i second.rpd)" ]
check "the other name holds the recorder too" identical first.rpd src.rpd

cli journal src.rpd --out report.html
ln -s report.html report-link.html
cli journal src.rpd --level 1 --out report-link.html
check "journal --out through a symlink keeps it" [ -L report-link.html ]
check "and writes its target" [ "$(stat -c %s report.html)" -gt 0 ]

# ---- reads into a new path that fail leave nothing ---------------------------
emulator src.rpd --silent-after 3
BRIDGES=$EMU_PATH fails "a silent device" "несоответствие потока данных при приеме" cli read fresh.rpd
check "a failed read into a new path leaves no file" [ ! -e fresh.rpd ]
emulator src.rpd --rate 20000
GRUVIK2_BRIDGES=$EMU_PATH "$BIN"/gruvik2-cli-emulated read fresh.rpd >out.txt 2>/dev/null &
cli_pid=$!
sleep 2
kill -INT $cli_pid
wait $cli_pid
check "Ctrl-C exits 1" [ $? -eq 1 ]
check "a cancelled read into a new path leaves no file" [ ! -e fresh.rpd ]
check "and no temporary" [ -z "$(ls -A | grep fresh)" ]

# ---- the CLI's contract --------------------------------------------------------
fails "--device beyond the one bridge" "--device 5: подключено устройств считывания: 1" \
    cli read --device 5 dev.rpd
check "a refused --device leaves no file" [ ! -e dev.rpd ]
fails "events to a full stdout" "не могу записать файл! (stdout: No space left on device)" \
    bash -c "'$BIN/gruvik2-cli' events src.rpd >/dev/full"
fails "info to a full stdout" "не могу записать файл! (stdout: No space left on device)" \
    bash -c "'$BIN/gruvik2-cli' info src.rpd >/dev/full"
fails "protocol to a full stdout" "не могу записать файл!" \
    bash -c "'$BIN/gruvik2-cli' protocol src.rpd >/dev/full"
"$BIN"/gruvik2-cli-emulated events full.rpd 2>err.txt | head -1 >/dev/null
check "events into a closed pipe ends with 141, SIGPIPE's status" [ "${PIPESTATUS[0]}" -eq 141 ]
check "and quietly" [ ! -s err.txt ]

# A file-size limit stands in for a full disk.
printf 'old journal' >kept.html
printf 'old picture' >kept.png
cp kept.html kept.html.orig
cp kept.png kept.png.orig
fails "journal --out on a full disk" "не могу записать файл! (kept.html: File too large)" \
    bash -c "trap '' XFSZ; ulimit -f 1; '$BIN/gruvik2-cli' journal full.rpd --level 1 --out kept.html"
check "the old journal is kept" identical kept.html kept.html.orig
fails "graph --out on a full disk" "не могу записать файл! (kept.png: File too large)" \
    bash -c "trap '' XFSZ; ulimit -f 1; '$BIN/gruvik2-cli' graph src.rpd --out kept.png"
check "the old picture is kept" identical kept.png kept.png.orig
check "no temporary is left" [ -z "$(ls -A | grep '^\.kept')" ]

for t in "01/01/2100 00:00:00" "01/01/1900 00:00:00" 4102444800; do
    fails "--from $t" "неверное значение --from" cli journal src.rpd --from "$t"
done
fails "--to beyond 2038" "неверное значение --to" cli journal src.rpd --to "19/01/2038 03:14:08"

emulator src.rpd --internal
BRIDGES=$EMU_PATH cli read internal.rpd >out.txt 2>err.txt
check "a read from the internal memory exits 0" [ $? -eq 0 ]
check "its summary names the internal memory" grep -qx \
    "Страниц памяти: считано 8192 пропущено 0 повторено 0; Источник данных: внутренняя память устройства считывания; файл сохранен" out.txt
BRIDGES=$EMU_PATH cli read internal.rpd >out.txt 2>err.txt
check "a second read leaves the file" grep -qE "пропущено 8192 повторено 0( перепроверено [0-9]+)?; .*; файл не обновлен$" out.txt

# ---- as a user: permissions that root would pass ---------------------------
if [ "$(id -u)" -eq 0 ]; then
    if id nobody >/dev/null 2>&1; then
        asuser() { setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$@"; }
    else
        asuser=""
        echo "skipped: the checks as a user (running as root and there is no user nobody)"
    fi
else
    asuser() { "$@"; }
fi
if declare -F asuser >/dev/null && ! asuser test -x "$BIN/gruvik2-cli"; then
    echo "skipped: the checks as a user (the user cannot run $BIN/gruvik2-cli)"
elif declare -F asuser >/dev/null; then
    USERDIR=$WORK/user
    mkdir "$USERDIR"
    chmod 0755 "$WORK"
    cp old.rpd "$USERDIR/unreadable.rpd"
    cp old.rpd "$USERDIR/readonly.rpd"
    mkdir "$USERDIR/locked" "$USERDIR/nosearch"
    cp old.rpd "$USERDIR/locked/writable.rpd"
    [ "$(id -u)" -eq 0 ] && chown -R nobody "$USERDIR"
    chmod 0200 "$USERDIR/unreadable.rpd"
    chmod 0444 "$USERDIR/readonly.rpd"
    chmod 0555 "$USERDIR/locked"
    chmod 0600 "$USERDIR/nosearch"
    # The emulator's line must be open to the user too.
    emulator src.rpd
    chmod 0666 "$EMU_PATH"
    BRIDGES=$EMU_PATH
    cd "$USERDIR"
    ucli() { asuser env GRUVIK2_BRIDGES="$BRIDGES" "$BIN"/gruvik2-cli-emulated "$@"; }
    fails "read into an unreadable image" "не могу открыть файл! (unreadable.rpd: Permission denied)" \
        ucli read unreadable.rpd
    check "the unreadable image is unchanged" identical unreadable.rpd ../old.rpd
    fails "read into a read-only image" "не могу открыть/создать файл! (readonly.rpd: Permission denied)" \
        ucli read readonly.rpd
    check "the read-only image is unchanged" identical readonly.rpd ../old.rpd
    fails "read into a new file in a locked folder" "не могу открыть/создать файл! (locked/new.rpd: Permission denied)" \
        ucli read locked/new.rpd
    check "nothing is created there" [ ! -e locked/new.rpd ]
    fails "read into a folder without search permission" "не могу открыть файл! (nosearch/x.rpd: Permission denied)" \
        ucli read nosearch/x.rpd
    fails "journal --out a read-only file" "не могу открыть/создать файл! (readonly.rpd: Permission denied)" \
        ucli journal ../src.rpd --out readonly.rpd
    check "the read-only file is still unchanged" identical readonly.rpd ../old.rpd
    ucli read locked/writable.rpd >/dev/null 2>err.txt
    check "a writable image in a locked folder is read into" [ $? -eq 0 ]
    check "and holds the recorder" identical locked/writable.rpd ../src.rpd
    cd "$WORK"
fi

# The owner and mode of an image that root reads into.
if id nobody >/dev/null 2>&1 && [ "$(id -u)" -eq 0 ]; then
    cp old.rpd owned.rpd
    chown nobody owned.rpd
    chmod 0640 owned.rpd
    emulator src.rpd
    BRIDGES=$EMU_PATH cli read owned.rpd >/dev/null 2>&1
    check "read into another user's image exits 0" [ $? -eq 0 ]
    check "the image keeps its owner" [ "$(stat -c %U owned.rpd)" = nobody ]
    check "and its mode" [ "$(stat -c %a owned.rpd)" = 640 ]
    check "and holds the recorder" identical owned.rpd src.rpd
fi

[ $failures -eq 0 ]
