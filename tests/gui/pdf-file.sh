#!/usr/bin/env bash
# gruvik2 --print-pdf writes its file as every file of the program is
# written: links and identity kept, FIFOs and devices refused, the reason in
# every failure, never over the image it prints, nothing left by a kill.
# Needs a display. Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
pdf() {  # pdf OUT [IMAGE]: the protocol of the demo recorder
    timeout 120 "$BIN"/gruvik2 --print-pdf "$1" --page protocol "${2:-$BIN/demo.rpd}"
}
isPdf() { head -c 5 "$1" | grep -q '%PDF-'; }

echo old >target.pdf
ln -s target.pdf link.pdf
pdf link.pdf 2>err.txt
check "a link: exits 0" [ $? -eq 0 ]
check "a link stays a link" [ -L link.pdf ]
check "a link's target gets the PDF" isPdf target.pdf

echo old >shared.pdf
ln shared.pdf other-name.pdf
pdf shared.pdf 2>/dev/null
check "a hard link stays shared" bash -c '[ "$(stat -c %h shared.pdf)" -eq 2 ] && cmp -s shared.pdf other-name.pdf'
check "the shared file gets the PDF" isPdf other-name.pdf

echo old >kept.pdf
chown nobody kept.pdf
chmod 640 kept.pdf
pdf kept.pdf 2>/dev/null
check "owner and mode are kept" [ "$(stat -c %U:%a kept.pdf)" = nobody:640 ]

mkfifo fifo.pdf
mknod null.pdf c 1 3
mknod full.pdf c 1 7
mkdir folder.pdf
for out in fifo.pdf null.pdf full.pdf folder.pdf nofolder/out.pdf; do
    pdf $out 2>err.txt
    check "$out: exits 2" [ $? -eq 2 ]
    check "$out: names the file and the reason" grep -q "$out: " err.txt
done
check "the FIFO is still a FIFO" [ -p fifo.pdf ]
check "the device is still a device" [ -c null.pdf ]

cp "$BIN"/demo.rpd image.rpd
cp image.rpd orig.rpd
ln -s image.rpd image-link.pdf
for out in image.rpd image-link.pdf; do
    pdf $out image.rpd 2>err.txt
    check "$out (the image printed): exits 2" [ $? -eq 2 ]
    check "$out (the image printed): says why" grep -q "это входной файл" err.txt
done
check "the image printed is as it was" cmp -s orig.rpd image.rpd

# Killed at random moments: no file but the PDF, old or new, is left.
echo old >killed.pdf
for i in $(seq 10); do
    "$BIN"/gruvik2 --print-pdf killed.pdf --page journal --max 0 "$BIN"/demo.rpd 2>/dev/null &
    pid=$!
    sleep "$((RANDOM % 3)).$((RANDOM % 10))"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
done
check "kills leave no hidden file" [ -z "$(ls -A | grep '^\.')" ]

[ $failures -eq 0 ]
