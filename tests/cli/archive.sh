#!/usr/bin/env bash
# gruvik2-cli archive on the demo crane's readings over its life: the history
# lists every reading in time order with period figures that are the
# differences of the readings' protocols; the same image is filed once; a
# kill at any moment of an addition leaves an archive that check repairs and
# that takes the same additions again.
# Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export TZ=Europe/Moscow
unset GRUVIK2_ARCHIVE
failures=0
check() {  # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
CLI="$BIN/gruvik2-cli"

mkdir series
"$BIN"/gruvik2-demo --series series >/dev/null
images=(series/*.rpd)
check "a series of readings" [ ${#images[@]} -ge 5 ]

"$CLI" archive add "${images[@]}" --archive a >added.txt 2>&1
check "add files them all" [ $? -eq 0 ] && [ "$(grep -c ': подшит: ' added.txt)" -eq ${#images[@]} ]
"$CLI" archive add "${images[0]}" --archive a >again.txt 2>&1
check "the same image is filed once" grep -q ": уже в архиве: $WORK/a/0417/" again.txt
check "filed under the serial number by the last event's time" \
    [ "$(find a/0417 -name '????-??-??_??????.rpd' | wc -l)" -eq ${#images[@]} ]
check "copies, byte for byte" cmp -s "${images[-1]}" "$(ls a/0417/*.rpd | tail -1)"

# The history against the protocols of the images themselves.
"$CLI" archive history 0417 --format csv --archive a >history.csv
for image in "${images[@]}"; do
    "$CLI" protocol "$image" --format json >"$(basename "$image" .rpd).json"
done
python3 - history.csv series/*.rpd <<'PY' >compare.txt 2>&1
import csv, json, os, sys
rows = list(csv.DictReader(open(sys.argv[1], encoding="utf-8")))
protocols = [json.load(open(os.path.basename(p)[:-4] + ".json")) for p in sys.argv[2:]]
protocols.sort(key=lambda p: p["last_event"])
readings = []
for r in rows:
    if r["reading"] not in readings: readings.append(r["reading"])
assert readings == sorted(readings), "readings out of time order"
assert len(readings) == len(protocols), (len(readings), len(protocols))
counts = ["cycles_total", "cycles_overload", "cycles_q1", "cycles_q2", "cycles_q3", "cycles_q4"]
checked = 0
for k in range(1, len(protocols)):
    before, after = protocols[k - 1], protocols[k]
    assert readings[k][:19] == after["last_event"][:19], (readings[k], after["last_event"])
    for c0, c1 in zip(before["columns"], after["columns"]):
        row = next(r for r in rows if r["reading"] == readings[k] and r["item"] == c1["label"])
        assert row["period"] == "известен", row["period"]
        for name in counts:
            assert int(row["period_" + name]) == c1[name] - c0[name], (readings[k], name)
            checked += 1
        assert row["used_to_date_percent"] == "%.1f" % c1["used_to_date_percent"]
        assert row["exhaustion_date"] == (c1["exhaustion_date"] or "")
        lifted = c1["lifted_t"] - c0["lifted_t"]
        assert abs(float(row["period_lifted_t"]) - lifted) <= 0.11, (readings[k], lifted)
    for m0, m1 in zip(before["mechanisms"], after["mechanisms"]):
        row = next(r for r in rows if r["reading"] == readings[k] and r["item"] == m1["name"])
        assert int(row["period_operating_seconds"]) == m1["operating_seconds"] - m0["operating_seconds"]
print("compared", checked)
PY
check "the history's periods are the differences of the protocols" grep -q '^compared [1-9]' compare.txt
cat compare.txt

# Killed at random moments while adding, then checked and added again.
for round in 1 2 3 4 5; do
    rm -rf k
    "$CLI" archive add "${images[@]}" --archive k >/dev/null 2>&1 &
    pid=$!
    sleep "0.$((RANDOM % 9))$((RANDOM % 10))"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
    [ -d k ] || continue
    "$CLI" archive check --repair --archive k >repair.txt 2>&1
    check "round $round: check repairs what the kill left" [ $? -eq 0 ]
    "$CLI" archive check --archive k >check.txt 2>&1
    check "round $round: then the archive is consistent" grep -q '^архив в порядке' check.txt
    "$CLI" archive add "${images[@]}" --archive k >/dev/null 2>&1
    check "round $round: adding again succeeds" [ $? -eq 0 ]
    check "round $round: every reading once" \
        [ "$("$CLI" archive list --format csv --archive k | tail -n +2 | wc -l)" -eq ${#images[@]} ]
done

# A temporary a kill left, an image the index does not know, an entry whose
# file is gone: found, then repaired.
cp "${images[0]}" "a/0417/.2000-01-01_000000.rpd.1a2b3c"
gone=$(ls a/0417/*.rpd | head -1)
mv "$gone" "a/0417/2000-01-01_000000.rpd"
"$CLI" archive check --archive a >found.txt 2>&1
check "check without repair finds them and fails" [ $? -eq 2 ] &&
    [ "$(grep -c -e 1a2b3c -e 'файла нет' -e 'не в индексе' found.txt)" -eq 3 ]
"$CLI" archive check --repair --archive a >repaired.txt 2>&1
check "check --repair puts them right" [ $? -eq 0 ] && [ ! -e a/0417/.2000-01-01_000000.rpd.1a2b3c ]
"$CLI" archive check --archive a >fine.txt 2>&1
check "then the archive is consistent" grep -q '^архив в порядке' fine.txt
"$CLI" archive rebuild --archive a >rebuilt.txt 2>&1
check "rebuild files every image once" grep -q ": ${#images[@]} образов" rebuilt.txt

echo "archive: $failures failed"
[ $failures -eq 0 ]
