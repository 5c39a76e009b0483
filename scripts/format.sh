#!/usr/bin/env bash
# clang-format over the tree's C++ sources (.clang-format at the root).
#   scripts/format.sh           formats the files in place
#   scripts/format.sh --check   changes nothing; lists the files that differ
#                               and fails when there are any (CI)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
    differ=()
    for f in "${files[@]}"; do
        clang-format --style=file "$f" | cmp -s - "$f" || differ+=("$f")
    done
    if [ ${#differ[@]} -ne 0 ]; then
        printf 'not formatted: %s\n' "${differ[@]}" >&2
        echo "run scripts/format.sh to format them" >&2
        exit 1
    fi
    echo "format: all ${#files[@]} files formatted"
else
    clang-format --style=file -i "${files[@]}"
fi
