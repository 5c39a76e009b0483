#!/usr/bin/env bash
# gruvik2-cli's data exports read by a standard parser (python3's csv and
# json): events --format csv|json against the events lines, with and without
# the filter's options; protocol --format json|csv against the protocol page;
# summary over the demo, a full memory and broken files; files written by
# --out replaced whole or left alone.
# Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export TZ=Europe/Moscow
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
cp "$BIN"/demo.rpd demo.rpd
"$BIN"/gruvik2-mkimage --full full.rpd
head -c 1000 full.rpd >short.rpd
cp full.rpd five.rpd
printf '\005' | dd of=five.rpd bs=1 seek=$((512 * 528 + 5)) conv=notrunc 2>/dev/null

# The rows of CSV and JSON against the text lines: number, order, time,
# importance and class.
same_events() {  # same_events LINES CSV JSON
    python3 - "$@" <<'PY'
import csv, json, sys, datetime
lines = [l.rstrip("\n").split("\t") for l in open(sys.argv[1], encoding="utf-8", newline="\n")]
with open(sys.argv[2], encoding="utf-8", newline="") as f:
    rows = list(csv.DictReader(f, strict=True))
objects = json.load(open(sys.argv[3], encoding="utf-8"))
assert len(lines) == len(rows) == len(objects) > 0, (len(lines), len(rows), len(objects))
for i, (l, r, o) in enumerate(zip(lines, rows, objects)):
    expected = [l[0], l[1], l[2]]
    assert [r["time"], r["importance"], r["class"]] == expected, (i, l, r)
    assert [o["time"], str(o["importance"]), o["class"]] == expected, (i, l, o)
    assert isinstance(o["importance"], int)
    iso = datetime.datetime.fromisoformat(r["iso_time"])
    assert iso.strftime("%d/%m/%Y %H:%M:%S") == l[0][:19], (i, r["iso_time"], l[0])
    assert iso.utcoffset() is not None
    assert "<img" not in r["description"], (i, r)
    if r["class"] == "GL_channelState":
        assert len(r["channels"]) == 6 and set(r["channels"]) <= {"0", "1"}, r
        assert r["description"].endswith(r["channels"]), r
    for name in ("group", "relay", "sensor", "value", "key_cell"):
        if r[name] != "":
            assert o[name] == int(r[name]), (i, name, r, o)
PY
}
for img in demo full; do
    "$BIN"/gruvik2-cli events $img.rpd >$img.txt 2>/dev/null
    "$BIN"/gruvik2-cli events $img.rpd --format csv >$img.csv 2>/dev/null
    check "$img: events --format csv exits 0" [ $? -eq 0 ]
    "$BIN"/gruvik2-cli events $img.rpd --format json --out $img.json 2>/dev/null
    check "$img: events --format json --out exits 0" [ $? -eq 0 ]
    check "$img: CSV and JSON rows are the events lines" same_events $img.txt $img.csv $img.json
done
check "CSV records end with CR LF" [ "$(head -1 demo.csv | od -An -c | tr -d ' \n' | tail -c 4)" = '\r\n' ]

# With the filter's options the rows are the journal's.
"$BIN"/gruvik2-cli journal demo.rpd --level 1 --max 40 --discrete on --relays on >j.html
"$BIN"/gruvik2-cli events demo.rpd --format csv --level 1 --max 40 --discrete on --relays on >j.csv
"$BIN"/gruvik2-cli events demo.rpd --level 1 --max 40 --discrete on --relays on >j.txt
check "filtered rows are the journal's" python3 - <<'PY'
import csv, re
html = open("j.html", encoding="cp1251").read()
times = re.findall(r"\d\d/\d\d/\d{4} \d\d:\d\d:\d\d\.\d", html)
rows = list(csv.DictReader(open("j.csv", encoding="utf-8", newline="")))
lines = [l.split("\t")[0] for l in open("j.txt", encoding="utf-8")]
assert len(times) == 40 and [r["time"] for r in rows] == times == lines, (len(times), len(rows))
PY

# A file that cannot be loaded or is refused: status 2, nothing written, an
# earlier output left as it was.
for bad in short five missing; do
    echo keep >kept.csv
    "$BIN"/gruvik2-cli events $bad.rpd --format csv --out kept.csv >out.txt 2>err.txt
    check "$bad: events exits 2" [ $? -eq 2 ]
    check "$bad: says why" [ -s err.txt ]
    check "$bad: the earlier output is kept" [ "$(cat kept.csv)" = keep ]
    check "$bad: no temporary left" [ "$(ls -A | grep -c '^\.kept')" = 0 ]
done
"$BIN"/gruvik2-cli events demo.rpd --format xml >out.txt 2>err.txt
check "an unknown format is refused" [ $? -eq 2 ]
check "the refusal names it" grep -q -- "--format" err.txt

# The protocol's figures are the page's numbers.
for img in demo full; do
    "$BIN"/gruvik2-cli protocol $img.rpd >$img.html
    "$BIN"/gruvik2-cli protocol $img.rpd --format json >$img.protocol.json
    check "$img: protocol --format json exits 0" [ $? -eq 0 ]
    "$BIN"/gruvik2-cli protocol $img.rpd --format csv --out $img.protocol.csv
    check "$img: protocol --format csv exits 0" [ $? -eq 0 ]
    check "$img: protocol figures equal the page" python3 - $img <<'PY'
import csv, json, math, re, sys
img = sys.argv[1]
html = open(img + ".html", encoding="cp1251").read()
p = json.load(open(img + ".protocol.json", encoding="utf-8"))
rows = list(csv.DictReader(open(img + ".protocol.csv", encoding="utf-8", newline="")))
cell = {(r["item"], r["column"]): r["value"] for r in rows}
labels = {"Общее кол-во циклов": "cycles_total", "С перегрузкой": "cycles_overload",
          "В режиме Q1": "cycles_q1", "В режиме Q2": "cycles_q2", "В режиме Q3": "cycles_q3",
          "В режиме Q4": "cycles_q4", "К-т распределения нагрузок Кр": "kr",
          "Поднято грузов, т": "lifted_t", "Режим нагружения": "loading_mode",
          "Класс использования": "utilisation_class", "Группа классификации": "classification_group",
          "Использованный ресурс": "used_resource_percent"}
assert len(p["columns"]) == 3
for label, item in labels.items():
    m = re.search(r"<TR><TD>" + re.escape(label) + r"</TD>((?:<TD>[^<]*</TD>)+)", html)
    shown = [c.rstrip("%") for c in re.findall(r"<TD>([^<]*)</TD>", m.group(1))]
    assert len(shown) == 3, (label, shown)
    for col, text in zip(p["columns"], shown):
        assert cell[(item, col["label"])] == ("" if col[item] is None else text), (item, text)
        v = col[item]
        if isinstance(v, str):
            assert v == text, (item, v, text)
        elif v is None:
            assert text == "нет данных" or "nan" in text, (item, text)
        else:
            assert math.isclose(v, float(text)), (item, v, text)
bold = lambda label: re.search(re.escape(label) + r"</TD><TD WIDTH=20%><B>([^<]*)</B>", html).group(1)
assert p["serial_number"] == bold("Серийный номер регистратора") == cell[("serial_number", "")]
assert p["passport_group"] == bold("Паспортная группа классификации")
d = bold("Дата установки регистратора")
assert p["installation_date"] == d[6:] + "-" + d[3:5] + "-" + d[:2]
for m in p["mechanisms"]:
    time = m["operating_time"] or "нет данных"
    assert "<TD WIDTH=70%>" + m["name"] + "</TD><TD>" + time + "</TD>" in html, m
    seconds = m["operating_seconds"]
    assert cell[("operating_seconds", str(m["number"]))] == ("" if seconds is None else str(seconds))
PY
done
"$BIN"/gruvik2-cli protocol demo.rpd --format json --level 3 >out.txt 2>err.txt
check "protocol still refuses the filter's options" [ $? -eq 2 ]

# The fleet summary: a row per image in the order given, errors in their rows.
"$BIN"/gruvik2-cli summary demo.rpd full.rpd short.rpd >summary.csv 2>err.txt
check "a broken file makes summary exit 2" [ $? -eq 2 ]
check "the broken file is named on stderr" grep -q "short.rpd" err.txt
"$BIN"/gruvik2-cli summary demo.rpd full.rpd short.rpd five.rpd --format json --out summary.json 2>/dev/null
check "summary --format json exits 2 with failures" [ $? -eq 2 ]
check "summary rows" python3 - <<'PY'
import csv, json
rows = list(csv.DictReader(open("summary.csv", encoding="utf-8", newline="")))
assert [r["file"] for r in rows] == ["demo.rpd", "full.rpd", "short.rpd"], rows
assert rows[0]["error"] == "" and rows[1]["error"].startswith("нет данных счетчиков") and rows[2]["error"] != ""
assert rows[1]["cycles_total"] == rows[1]["kr"] == "" and rows[1]["serial_number"] != ""
assert rows[2]["cycles_total"] == "" and rows[2]["serial_number"] == ""
demo = json.load(open("demo.protocol.json", encoding="utf-8"))
crane = demo["columns"][2]
assert rows[0]["cycles_total"] == str(crane["cycles_total"]) and rows[0]["kr"] == str(crane["kr"])
assert rows[0]["classification_group"] == crane["classification_group"]
assert rows[0]["last_event"] == demo["last_event"]
j = json.load(open("summary.json", encoding="utf-8"))
assert len(j) == 4 and [r["file"] for r in j] == ["demo.rpd", "full.rpd", "short.rpd", "five.rpd"]
assert j[3]["error"].startswith("Эта версия программы") and j[3]["kr"] is None
assert isinstance(j[0]["cycles_total"], int) and isinstance(j[0]["power_ons"], int)
PY
"$BIN"/gruvik2-cli summary demo.rpd demo.rpd >twice.csv 2>err.txt
check "summary of good images exits 0" [ $? -eq 0 ]
check "no progress when stderr is not a terminal" [ ! -s err.txt ]

# The Russian spreadsheet form: a spreadsheet's reading (semicolons, a
# byte-order mark) finds the same rows, the numbers with a decimal comma.
"$BIN"/gruvik2-cli protocol demo.rpd --format csv --csv-form ru --out ru.csv
"$BIN"/gruvik2-cli protocol demo.rpd --format csv --out rfc.csv
check "the Russian form holds the RFC 4180 rows with decimal commas" python3 - ru.csv rfc.csv <<'PY'
import csv, sys
ru = list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline=""), delimiter=";"))
rfc = list(csv.reader(open(sys.argv[2], encoding="utf-8", newline="")))
assert open(sys.argv[1], "rb").read(3) == b"\xef\xbb\xbf"
assert len(ru) == len(rfc) > 10
for a, b in zip(ru, rfc):
    assert a[:2] == b[:2] and a[2] == b[2].replace(".", ",") if b[2].replace(".", "", 1).lstrip("-").isdigit() else a == b, (a, b)
assert any(r[0] == "kr" and "," in r[2] for r in ru)
PY
"$BIN"/gruvik2-cli protocol demo.rpd --format json --csv-form ru >/dev/null 2>err.txt
check "--csv-form without CSV is refused" grep -q -- "--csv-form действует только с --format csv" err.txt

[ $failures -eq 0 ] && echo "exports: all passed" || echo "exports: $failures failed"
[ $failures -eq 0 ]
