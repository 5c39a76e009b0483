#!/usr/bin/env bash
# Links another user planted in a sticky folder everyone may write are not
# followed (as the kernel's protected_symlinks); a file rewritten in place
# that a kill interrupts is put back by the next run. Runs as root, with the
# user nobody as the other user. Argument: the build folder.
set -uo pipefail
BIN=$1
source "$(dirname "$0")/../checks.bash"
chmod 755 "$WORK"

"$BIN"/gruvik2-mkimage a.rpd
mkdir shared plain
chmod 1777 shared
chmod 755 plain
echo precious >victim
for d in shared plain; do
    ln -s "$WORK/victim" $d/theirs.csv
    chown -h nobody $d/theirs.csv
    ln -s "$WORK/victim" $d/ours.csv
    ln -s "$WORK/victim" $d/theirs.rpd
    chown -h nobody $d/theirs.rpd
done

"$BIN"/gruvik2-cli summary a.rpd --out shared/theirs.csv >/dev/null 2>err.txt
check "a planted link: exits 2" [ $? -eq 2 ]
check "a planted link: says why" grep -q "чужая символическая ссылка" err.txt
check "a planted link: its target is untouched" [ "$(cat victim)" = precious ]
out=$WORK/emu.txt
"$BIN"/gruvik2-reader-emu a.rpd >"$out" &
PIDS+=("$!")
for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.1; done
GRUVIK2_BRIDGES=$(head -1 "$out") "$BIN"/gruvik2-cli-emulated read shared/theirs.rpd >/dev/null 2>err.txt
check "a read through a planted link: exits 2" [ $? -eq 2 ]
check "a read through a planted link: its target is untouched" [ "$(cat victim)" = precious ]

for link in shared/ours.csv plain/theirs.csv; do
    echo precious >victim
    "$BIN"/gruvik2-cli summary a.rpd --out $link >/dev/null 2>&1
    check "$link is followed" grep -q "serial_number" victim
done

# A rewrite in place (a hard-linked file) killed at random moments: the file
# is whole, old or new, or its backup holds the old content and the next run
# puts it back and says so.
"$BIN"/gruvik2-mkimage --full full.rpd
"$BIN"/gruvik2-cli events full.rpd --format csv --out new.csv
head -c 3000000 /dev/zero | tr '\0' 'o' >old.csv
mixed=0
for i in $(seq 10); do
    cp old.csv out.csv
    ln -f out.csv other-name.csv
    "$BIN"/gruvik2-cli events full.rpd --format csv --out out.csv >/dev/null 2>&1 &
    pid=$!
    sleep "0.$((RANDOM % 40))"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
    if ! cmp -s out.csv old.csv && ! cmp -s out.csv new.csv && ! cmp -s .out.csv.gruvik2-old old.csv; then
        mixed=$((mixed + 1))
    fi
    "$BIN"/gruvik2-cli info out.csv >/dev/null 2>err.txt
    if [ -e .out.csv.gruvik2-old ] || { ! cmp -s out.csv old.csv && ! cmp -s out.csv new.csv; }; then
        mixed=$((mixed + 1))
    fi
done
check "a killed rewrite never leaves a mixture without its way back" [ $mixed -eq 0 ]
cp old.csv out.csv
ln -f out.csv other-name.csv
cp old.csv .out.csv.gruvik2-old
printf 'garbled' | dd of=out.csv conv=notrunc 2>/dev/null
"$BIN"/gruvik2-cli info out.csv >/dev/null 2>err.txt
check "the next run puts the old content back" cmp -s out.csv old.csv
check "the next run says so, naming the file" grep -q "восстановлено.*out.csv" err.txt
check "the backup is gone" [ ! -e .out.csv.gruvik2-old ]
check "the hard link is kept" [ "$(stat -c %h out.csv)" -eq 2 ]

[ $failures -eq 0 ]
