#!/usr/bin/env bash
# gruvik2 --print-pdf on the demo recorder, looked at on paper: every page of
# the protocol, the journal and the graph (portrait and landscape) as a PDF
# whose texts are text in embedded fonts, with the right number of pages, no
# page flooded by a background, the history of an archive's reading, the journal's and the protocol's pages each
# saying what they belong to and which page they are, no journal row cut by a
# page break, nothing left beside the target by a killed print, the graph and its footer within the 10 mm
# margins; the exit statuses and messages of jobs that cannot be done, and
# the output file left alone then. Needs a display (xvfb-run).
# Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export TZ=UTC
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
print() {  # print OUT.pdf [options...]: the demo recorder's page
    local out=$1
    shift
    "$BIN"/gruvik2 --print-pdf "$out" "$@" "$BIN"/demo.rpd 2>"$out.err"
}
pages() { pdfinfo "$1" | awk '/^Pages:/ {print $2}'; }
# Lines joined: a cell's text may wrap.
has() { pdftotext "$1" - | tr '\n' ' ' | grep -qF -- "$2"; }
rows() { grep -oE '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\.[0-9]' | wc -l; }
# Every font embedded, and at least one.
fontsEmbedded() {
    local rows
    rows=$(pdffonts "$1" | tail -n +3)
    [ -n "$rows" ] && ! awk '{ if ($(NF-4) != "yes") bad = 1 } END { exit !bad }' <<<"$rows"
}
noPictures() { [ -z "$(pdfimages -list "$1" | tail -n +3)" ]; }
# The share of dark pixels of every page rendered at 30 dpi stays small (a
# page of tinted journal rows is some 17 %, a flooded page near all).
notFlooded() {
    pdftoppm -r 30 -gray "$1" page >/dev/null 2>&1 || return 1
    local f share
    for f in page*.pgm; do
        share=$(convert "$f" -threshold 50% -format '%[fx:1-mean]' info:)
        awk -v s="$share" 'BEGIN { exit !(s < 0.25) }' || { echo "  $f: dark share $share"; rm -f page*.pgm; return 1; }
    done
    rm -f page*.pgm
}
# Everything drawn on page 1 (at 72 dpi, 1 pixel = 1 point) lies within the
# 10 mm (28.3 point) margins.
withinMargins() {
    pdftoppm -r 72 -png -f 1 -l 1 "$1" margin >/dev/null 2>&1 || return 1
    local png box w h W H X Y
    png=$(ls margin*.png)
    read -r W H < <(identify -format '%w %h\n' "$png")
    box=$(convert "$png" -fuzz 10% -format '%@' info:)
    rm -f margin*.png
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} X=${BASH_REMATCH[3]} Y=${BASH_REMATCH[4]}
    echo "  drawing ${w}x${h}+$X+$Y on ${W}x${H}"
    [ "$X" -ge 27 ] && [ "$Y" -ge 27 ] && [ $((X + w)) -le $((W - 27)) ] && [ $((Y + h)) -le $((H - 27)) ]
}
# Every word of the text, the footer's too, lies within the margins.
wordsWithinMargins() {
    pdftotext -bbox "$1" words.html || return 1
    awk -v W="$2" -v H="$3" 'match($0, /xMin="[0-9.]+" yMin="[0-9.]+" xMax="[0-9.]+" yMax="[0-9.]+"/) {
        split(substr($0, RSTART, RLENGTH), f, "\"")
        if (f[2] < 28 || f[4] < 28 || f[6] > W - 28 || f[8] > H - 28) { print "  outside: " $0; bad = 1 }
        n++
    } END { exit bad || n == 0 }' words.html
}

# Every page carries its line of furniture (grep -E pattern, with N and M
# for its number and the count) and the texts given after it.
furnitureOnEveryPage() {
    local pdf=$1 line=$2 n p t text
    shift 2
    n=$(pages "$pdf")
    for ((p = 1; p <= n; p++)); do
        t=$(pdftotext -f $p -l $p "$pdf" - | tr '\n' ' ')
        grep -qE "$line" <<<"$t" && grep -qF "Страница $p из $n" <<<"$t" || { echo "  page $p: ${t:0:200}"; return 1; }
        for text in "$@"; do grep -qF "$text" <<<"$t" || { echo "  page $p lacks $text"; return 1; }; done
    done
}
# Every row of the journal gruvik2-cli writes is printed whole on one page,
# in order: its date and its whole description on the same page.
rowsWhole() {
    "$BIN"/gruvik2-cli journal "${@:2}" "$BIN"/demo.rpd | iconv -f WINDOWS-1251 -t UTF-8 >rows.html
    local n p
    n=$(pages "$1")
    for ((p = 1; p <= n; p++)); do pdftotext -raw -f $p -l $p "$1" page$p.txt; done
    python3 - "$n" <<'PY'
import html, re, sys
norm = lambda s: " ".join(html.unescape(re.sub(r"<[^>]*>", " ", s)).split())
cells = re.findall(r"<TD[^>]*>(.*?)</TD>", open("rows.html", encoding="utf-8").read())
rows = [norm(cells[i]) + " " + norm(cells[i + 1]) for i in range(0, len(cells) - 1, 2)]
date = re.compile(r"\d\d/\d\d/\d{4} \d\d:\d\d:\d\d\.\d")
i = 0
for p in range(1, int(sys.argv[1]) + 1):
    text = norm(open(f"page{p}.txt", encoding="utf-8").read())
    pos = 0
    for _ in date.findall(text):
        at = text.find(rows[i], pos) if i < len(rows) else -1
        if at < 0:
            sys.exit(f"  page {p}: row {i + 1} not whole: {rows[i] if i < len(rows) else '-'}")
        pos, i = at + len(rows[i]), i + 1
if i != len(rows):
    sys.exit(f"  {i} of {len(rows)} rows printed")
PY
}

print protocol.pdf --page protocol
check "protocol exits 0" [ $? -eq 0 ]
check "protocol prints nothing on stderr" [ ! -s protocol.pdf.err ]
check "protocol has two A4 pages" bash -c "[ $(pages protocol.pdf) -eq 2 ] && pdfinfo protocol.pdf | grep -q '595.276 x 841.89 pts (A4)'"
for text in "Протокол условий эксплуатации крана" "Общая информация" "Циклы подъема груза" \
            "Время работы механизмов" "Главный подъём" "Грузовой электромагнит" \
            "Использованный ресурс" "Кран в целом" "Напечатано из программы Грувик2 версии 1.0.0"; do
    check "protocol shows \"$text\" as text" has protocol.pdf "$text"
done
check "the mechanisms' heading is on the page of their table" \
    bash -c 'pdftotext -f 2 -l 2 protocol.pdf - | grep -q "Время работы механизмов" && pdftotext -f 2 -l 2 protocol.pdf - | grep -q "Главный подъём"'
check "every protocol page names the recorder and its number" \
    furnitureOnEveryPage protocol.pdf "Протокол регистратора № 0417 на [0-9/]+ [0-9:]+"
check "protocol fonts are embedded" fontsEmbedded protocol.pdf
check "protocol holds no pictures (nothing rasterised)" noPictures protocol.pdf
check "no protocol page is flooded" notFlooded protocol.pdf

print journal.pdf --page journal
check "journal exits 0" [ $? -eq 0 ]
for text in "Журнал событий регистратора параметров" "Дата и время" "Описание события"; do
    check "journal shows \"$text\" as text" has journal.pdf "$text"
done
check "journal holds every row of gruvik2-cli journal" \
    [ "$(pdftotext journal.pdf - | rows)" -eq "$("$BIN"/gruvik2-cli journal "$BIN"/demo.rpd | iconv -f WINDOWS-1251 -t UTF-8 | rows)" ]
check "journal has more than fifteen pages" [ "$(pages journal.pdf)" -gt 15 ]
check "the footer ends the last page" bash -c "pdftotext -f $(pages journal.pdf) -l $(pages journal.pdf) journal.pdf - | grep -q 'Напечатано из программы'"
check "every journal page names the recorder, the period and its number, over the columns" \
    furnitureOnEveryPage journal.pdf "Журнал регистратора № 0417, с [0-9/]+ [0-9:]+ по [0-9/]+ [0-9:]+" \
    "Дата и время" "Описание события"
check "no journal row is cut by a page break" rowsWhole journal.pdf
print full.pdf --page journal --level 1
check "no row of the 1000-row journal is cut by a page break" rowsWhole full.pdf --level 1
check "the journal of 1000 rows has them all" [ "$(pdftotext full.pdf - | rows)" -eq 1000 ]
check "the journal of 1000 rows is small enough to mail (under 1 MB)" [ "$(stat -c %s full.pdf)" -lt 1000000 ]
check "journal fonts are embedded" fontsEmbedded journal.pdf
check "journal holds no pictures" noPictures journal.pdf
check "no journal page is flooded" notFlooded journal.pdf
print short.pdf --page journal --max 3 --level 5
check "filter options apply: three rows on one page" \
    bash -c "[ $(pages short.pdf) -eq 1 ] && [ \$(pdftotext short.pdf - | grep -cE '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\.[0-9]') -eq 3 ]"

print graph.pdf --page graph --level 2 --from "26/04/2024 09:00:00" --to "26/04/2024 12:00:00"
check "graph exits 0" [ $? -eq 0 ]
check "graph is one page" [ "$(pages graph.pdf)" -eq 1 ]
check "graph shows its title and footer as text" \
    bash -c 'pdftotext graph.pdf - | grep -q "График нагружения крана РП № 0417" && pdftotext graph.pdf - | grep -q "Напечатано из программы Грувик2"'
check "graph fonts are embedded" fontsEmbedded graph.pdf
check "graph lies within the margins (portrait)" withinMargins graph.pdf
check "graph's words lie within the margins (portrait)" wordsWithinMargins graph.pdf 595 842
print landscape.pdf --page graph --orientation landscape --level 2 --from "26/04/2024 09:00:00" --to "26/04/2024 12:00:00"
check "landscape graph exits 0" [ $? -eq 0 ]
check "landscape graph is on a turned A4" bash -c "pdfinfo landscape.pdf | grep -q '841.89 x 595.276 pts'"
check "graph lies within the margins (landscape)" withinMargins landscape.pdf
check "graph's words lie within the margins (landscape)" wordsWithinMargins landscape.pdf 842 595
check "no graph page is flooded" notFlooded landscape.pdf

# The history from an archive holding the demo recorder's reading: the chart
# drawn as lines and text, the readings, the passport, the image's checksum
# and the engineer's block; none without a reading in the archive.
"$BIN"/gruvik2-cli archive add --archive archive "$BIN"/demo.rpd >/dev/null
print history.pdf --page history --archive archive
check "history exits 0" [ $? -eq 0 ]
for text in "История считываний регистратора № 0417" "Израсходованный ресурс на дату считывания" \
            "Считывания в архиве" "первое считывание в архиве" "РП-3 в.3.07" \
            "$(sha256sum "$BIN"/demo.rpd | cut -c1-32)" "Заключение инженера" "Удостоверение" "Подпись"; do
    check "history shows \"$text\" as text" has history.pdf "$text"
done
check "every history page names the recorder and its number" \
    furnitureOnEveryPage history.pdf "История считываний регистратора № 0417"
check "history fonts are embedded" fontsEmbedded history.pdf
check "history's chart is lines, not a picture" noPictures history.pdf
check "no history page is flooded" notFlooded history.pdf
print nohistory.pdf --page history --archive empty
check "a history without readings exits 2" [ $? -eq 2 ]
check "it says there are none" grep -q "в архиве нет" nohistory.pdf.err
check "and writes no file" [ ! -e nohistory.pdf ]

# Jobs that cannot be done: status 2, the reason on stderr, no file.
"$BIN"/gruvik2 --print-pdf out.pdf --page protocol missing.rpd 2>err.txt
check "a missing image exits 2" [ $? -eq 2 ]
check "a missing image says why" [ -s err.txt ]
check "a missing image leaves no file" [ ! -e out.pdf ]
"$BIN"/gruvik2 --print-pdf out.pdf --page settings "$BIN"/demo.rpd 2>err.txt
check "an unknown page exits 2" [ $? -eq 2 ]
check "an unknown page is named" grep -q -- "--page" err.txt
"$BIN"/gruvik2 --print-pdf out.pdf "$BIN"/demo.rpd 2>err.txt
check "no page exits 2" [ $? -eq 2 ]
check "no page shows the usage" grep -q "Использование: gruvik2 \[фильтр\]" err.txt
"$BIN"/gruvik2 --print-pdf out.pdf --page journal --level 9 "$BIN"/demo.rpd 2>err.txt
check "a bad filter option exits 2" [ $? -eq 2 ]
check "a bad filter option is named" grep -q -- "--level" err.txt
"$BIN"/gruvik2 --print-pdf nofolder/out.pdf --page protocol "$BIN"/demo.rpd 2>err.txt
check "an output folder that does not exist exits 2" [ $? -eq 2 ]
check "that failure names the file" grep -q "nofolder/out.pdf" err.txt
echo "old" >kept.pdf
"$BIN"/gruvik2 --print-pdf kept.pdf --page protocol missing.rpd 2>/dev/null
check "a failed job leaves an existing file as it was" [ "$(cat kept.pdf)" = old ]
check "no temporary file is left behind" [ -z "$(ls -A | grep '^\.')" ]

# A print killed while it works leaves nothing beside the target (the PDF is
# made in memory and written unnamed until complete; tests/gui/pdf-file.sh
# kills it at random moments of the writing itself).
"$BIN"/gruvik2 --print-pdf killed.pdf --page journal --level 1 --max 0 "$BIN"/demo.rpd 2>/dev/null &
job=$!
sleep 3
check "the killed print was still at work" kill -0 $job
kill -9 $job
wait $job 2>/dev/null
check "a killed print leaves nothing beside the target" [ -z "$(ls -A | grep killed)" ]

[ $failures -eq 0 ] && echo "all print checks passed" || echo "$failures print checks failed"
exit $((failures > 0))
