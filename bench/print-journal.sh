#!/usr/bin/env bash
# What printing the journal to PDF costs as it grows: a full recorder memory
# at level 1, 1000, 10000 and 100000 rows and then every row (no limit),
# printed by gruvik2 --print-pdf. For each: the rows and pages printed, the
# seconds (wall and CPU), the peak resident memory, and the CPU time per row
# against that of the 1000-row run of the same series (linear time keeps the
# ratio near 1). Checks that the PDF stays text: fonts, no page images.
# Needs a display (run under xvfb-run -a) and GNU time.
# Argument: the build folder.
set -euo pipefail
BIN=$(cd "${1:-build}" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
"$BIN"/gruvik2-mkimage --full full.rpd >/dev/null
printf '%8s %7s %6s %8s %8s %8s %10s %6s\n' limit rows pages wall_s cpu_s peak_MB cpu_us/row ratio
base=""
for max in 1000 10000 100000 0; do
    /usr/bin/time -f '%e %U %S %M' -o time.txt \
        "$BIN"/gruvik2 --print-pdf j.pdf --page journal --level 1 --max "$max" full.rpd 2>/dev/null
    read -r wall user sys kb <time.txt
    pages=$(pdfinfo j.pdf | awk '/^Pages:/ {print $2}')
    rows=$(pdftotext j.pdf - | grep -cE '^[0-3][0-9]/[01][0-9]/[0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\.[0-9]' || true)
    fonts=$(pdffonts j.pdf | tail -n +3 | wc -l)
    images=$(pdfimages -list j.pdf | tail -n +3 | wc -l)
    perRow=$(awk -v u="$user" -v s="$sys" -v r="$rows" 'BEGIN { printf "%.1f", (u + s) * 1e6 / r }')
    [ -n "$base" ] || base=$perRow
    printf '%8s %7s %6s %8s %8.1f %8d %10s %6.2f   fonts %s, images %s\n' "$max" "$rows" "$pages" \
        "$wall" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" $((kb / 1024)) "$perRow" \
        "$(awk -v a="$perRow" -v b="$base" 'BEGIN { print a / b }')" "$fonts" "$images"
done
