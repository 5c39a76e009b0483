#!/usr/bin/env bash
# Which folder may include which: the layers of the house, checked over every
# #include "folder/..." in the tree. A file belongs to the deepest folder of
# the table that holds it, and an include names the deepest folder of the
# table that holds the header, so nested folders are layers of their own
# (pages/ is not gui/, device/linux/ is not device/). A folder may always
# include its own headers. Prints each include that crosses a layer the
# wrong way, and fails.
# Arguments: the repository's root folder; with --graph, prints the folder
# graph as it is (folder -> the folders it includes) and checks nothing.
set -uo pipefail
ROOT=$1
cd "$ROOT"

# folder            may include (besides itself)
RULES='
common
image               common
events              image common
device              image common
device/linux        device image common
device/emulated     device/linux device image common
views               events image common
history             views events image common
cli                 history views events image common device
testsupport         history views events image common device device/linux device/emulated
gui                 history views events image common device
pages               gui history views events image common device
app                 pages gui history views events image common device
'
# Folders outside the table (tests, tools, benchmarks, the fuzz target, the
# screenshots) stand above everything and are shown by --graph only.
TOP='fuzz tools bench tests scripts'

declare -A allowed=()
folders=()
while read -r folder rest; do
    [ -n "$folder" ] || continue
    folders+=("$folder")
    allowed[$folder]="$rest"
done <<<"$RULES"
# Deepest first, so the first folder that matches a path is the layer.
mapfile -t deepest < <(printf '%s\n' "${folders[@]}" $TOP | awk -F/ '{print NF, $0}' | sort -rn | cut -d' ' -f2)

# Every include of a folder of the tree: "file<TAB>included path".
includes() {
    grep -rnoE '^#include "[a-z]+/[^"]+"' "$@" --include=*.cpp --include=*.h 2>/dev/null |
        sed -E 's/^([^:]+):[0-9]+:#include "([^"]+)"/\1\t\2/'
}

# "file<TAB>header" lines -> "from|to|file|header", each path
# given the deepest folder of the table that holds it (empty when none).
layers() {
    awk -F'\t' -v folders="${deepest[*]}" '
        BEGIN { n = split(folders, f, " ") }
        function layer(path,   i) {
            for (i = 1; i <= n; i++) if (index(path, f[i] "/") == 1) return f[i]
            return ""
        }
        { print layer($1) "|" layer($2) "|" $1 "|" $2 }'
}

if [ "${2:-}" = --graph ]; then
    declare -A edges=()
    while IFS='|' read -r from to _ _; do
        [ -n "$from" ] && [ -n "$to" ] && [ "$from" != "$to" ] && edges[$from]+=" $to"
    done < <(includes "${folders[@]}" $TOP | layers)
    for f in "${folders[@]}" $TOP; do
        [ -d "$f" ] || continue
        echo "$f -> $(tr ' ' '\n' <<<"${edges[$f]:-}" | sed '/^$/d' | sort -u | tr '\n' ' ')"
    done
    exit 0
fi

failures=0
while IFS='|' read -r from to file header; do
    [ -n "$from" ] || continue
    [ "$from" = "$to" ] && continue
    if [ -z "$to" ] || [[ " ${allowed[$from]} " != *" $to "* ]]; then
        echo "FAILED: $file includes $header (${to:-an unknown folder}/; $from/ may include: ${allowed[$from]:-nothing})"
        failures=$((failures + 1))
    fi
done < <(includes "${folders[@]}" | layers)
[ $failures -eq 0 ] && echo "layers: every include keeps to its layer"
[ $failures -eq 0 ]
