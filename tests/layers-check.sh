#!/usr/bin/env bash
# The layer check itself: a probe include against the layers makes it fail,
# naming the file; one the layers allow passes. Each probe is a tree of its
# own holding only the probe file.
# Argument: the repository's root folder.
set -uo pipefail
CHECK=$1/tests/layers.sh
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# file in the probe tree    the header it includes    expected: fail|pass
PROBES='
views/Probe.cpp             pages/GraphWindow.h       fail
views/Probe.cpp             gui/HtmlPage.h            fail
gui/Probe.cpp               pages/TextLog.h           fail
gui/Probe.h                 app/MainFrame.h           fail
pages/Probe.cpp             app/MainFrame.h           fail
common/Probe.cpp            image/RecorderImage.h     fail
device/Probe.cpp            device/linux/TermiosLine.h fail
device/linux/Probe.cpp      device/emulated/EmulatedBridgeLibrary.h fail
cli/Probe.cpp               gui/Pictures.h            fail
views/Probe.cpp             nowhere/Thing.h           fail
views/Probe.cpp             history/Archive.h         fail
history/Probe.cpp           device/Crc16.h            fail
cli/Probe.cpp               history/Archive.h         pass
pages/Probe.cpp             gui/HtmlPage.h            pass
app/Probe.cpp               pages/SetupWindow.h       pass
device/emulated/Probe.cpp   device/linux/BridgeLine.h pass
testsupport/Probe.cpp       device/linux/BridgeLine.h pass
'
failures=0
n=0
while read -r file header expected; do
    [ -n "$file" ] || continue
    n=$((n + 1))
    root=$tmp/$n
    mkdir -p "$root/$(dirname "$file")"
    printf '#include "%s"\n' "$header" >"$root/$file"
    out=$(bash "$CHECK" "$root" 2>&1)
    status=$?
    if [ "$expected" = fail ]; then
        if [ $status -eq 0 ] || [[ "$out" != *"FAILED: $file includes $header"* ]]; then
            echo "FAILED: $file including $header passed the check: $out"
            failures=$((failures + 1))
        fi
    elif [ $status -ne 0 ]; then
        echo "FAILED: $file including $header was refused: $out"
        failures=$((failures + 1))
    fi
done <<<"$PROBES"
[ $failures -eq 0 ] && echo "layers-check: $n probes as expected"
[ $failures -eq 0 ]
