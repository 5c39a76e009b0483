#!/usr/bin/env bash
# Which folder may include which: the layers of the house, checked over every
# #include "folder/..." in the tree. A folder may always include its own
# headers. Prints each include that crosses a layer the wrong way.
# Argument: the repository's root folder. With --graph, prints the folder
# graph as it is (folder -> the folders it includes) and checks nothing.
set -uo pipefail
ROOT=$1
cd "$ROOT"

# folder (a path prefix)  allowed folders
RULES='
common
image       common
events      image common
device      image common
views/ui    views events image common device gui
views       events image common
gui         views events image common device
app         gui views events image common device
cli         views events image common device
'

folders_of() { # the include targets' first folders in the files of $1
    grep -rhoE '^#include "[a-z]+/' "$1" --include=*.cpp --include=*.h 2>/dev/null |
        sed 's/#include "//; s/\///' | sort -u
}

if [ "${2:-}" = --graph ]; then
    for f in common image events device views views/ui gui app cli fuzz testsupport tools tests bench; do
        [ -d "$f" ] || continue
        if [ "$f" = views ]; then
            targets=$(grep -rhoE '^#include "[a-z]+/' views --include=*.cpp --include=*.h \
                --exclude-dir=ui | sed 's/#include "//; s/\///' | sort -u)
        else
            targets=$(folders_of "$f")
        fi
        echo "$f -> $(echo "$targets" | grep -vx "${f%%/*}" | tr '\n' ' ')"
    done
    exit 0
fi

failures=0
while read -r folder allowed; do
    [ -n "$folder" ] || continue
    [ -d "$folder" ] || continue
    exclude=()
    [ "$folder" = views ] && exclude=(--exclude-dir=ui)
    while IFS= read -r hit; do
        file=${hit%%:*}
        target=$(echo "$hit" | sed -E 's/.*#include "([a-z]+)\/.*/\1/')
        own=${folder%%/*}
        # views/ui may include views/ui itself.
        [ "$target" = "$own" ] && continue
        ok=0
        for a in $allowed; do [ "$target" = "$a" ] && ok=1; done
        if [ $ok -eq 0 ]; then
            echo "FAILED: $file includes $target/ ($folder may include: ${allowed:-nothing})"
            failures=$((failures + 1))
        fi
    done < <(grep -rnE '^#include "[a-z]+/' "$folder" "${exclude[@]}" --include=*.cpp --include=*.h)
done <<<"$RULES"
[ $failures -eq 0 ] && echo "layers: every include keeps to its layer"
[ $failures -eq 0 ]
