#!/usr/bin/env bash
# The program's main job: reading a recorder and showing what it holds, here
# with the demo recorder served by the reader emulator on a pseudo-terminal.
#  - With a display: starts Gruvik2 with that emulated reader as its only USB
#    bridge; press "Считать", choose a file name, and the four pages fill.
#  - Without one (DISPLAY unset): reads the demo recorder with gruvik2-cli and
#    writes its journal, protocol and graph to out/, printing their paths.
# Either way the demo crane's earlier readings are filed into an archive of
# their own (build/demo-archive, never the user's), which the run then uses,
# so the crane's history is there from the start.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
mkdir -p out build/demo-series
build/gruvik2-demo --series build/demo-series >/dev/null
build/gruvik2-cli archive add build/demo-series/*.rpd --archive build/demo-archive >/dev/null
export GRUVIK2_ARCHIVE=$PWD/build/demo-archive
# The emulator writes what it was sent back into its own copy on exit.
cp build/demo.rpd out/recorder-memory.rpd
build/gruvik2-reader-emu out/recorder-memory.rpd > out/emulator.txt 2> out/emulator.log &
emulator=$!
trap 'kill $emulator 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -s out/emulator.txt ] && break
  sleep 0.1
done
pty=$(head -1 out/emulator.txt)
if [ -z "$pty" ]; then
  echo "the reader emulator did not start: see out/emulator.log" >&2
  exit 2
fi
export GRUVIK2_BRIDGES=$pty

if [ -n "${DISPLAY:-}" ]; then
  echo "Gruvik2 starts with the demo recorder on $pty: press «Считать»."
  build/gruvik2-emulated
  exit 0
fi

rm -f out/demo-read.rpd
build/gruvik2-cli-emulated read out/demo-read.rpd
build/gruvik2-cli journal out/demo-read.rpd --out out/journal.html
build/gruvik2-cli protocol out/demo-read.rpd --out out/protocol.html
build/gruvik2-cli graph out/demo-read.rpd --out out/graph.png --relays on --discrete on \
  --level 1 --max 0 --start "25/04/2024 09:00:00" --scale "1 час"
build/gruvik2-cli archive history 0417 --format csv --out out/history.csv
echo "Recorder image read: out/demo-read.rpd"
echo "Journal:  out/journal.html"
echo "Protocol: out/protocol.html"
echo "Graph:    out/graph.png"
echo "History:  out/history.csv (archive: build/demo-archive)"
