#!/usr/bin/env bash
# Refreshes the README's pictures in docs/screenshots/: Gruvik2 reads the demo
# recorder through the reader emulator under a virtual X server, and each page
# is photographed as a user would see it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
work=$(mktemp -d)
trap 'kill $emulator 2>/dev/null || true; rm -rf "$work"' EXIT
cp build/demo.rpd "$work/recorder.rpd"
build/gruvik2-reader-emu "$work/recorder.rpd" > "$work/emulator.txt" 2> "$work/emulator.log" &
emulator=$!
for _ in $(seq 100); do
  [ -s "$work/emulator.txt" ] && break
  sleep 0.1
done
mkdir -p docs/screenshots
GRUVIK2_BRIDGES=$(head -1 "$work/emulator.txt") GDK_BACKEND=x11 \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/gruvik2-screenshots docs/screenshots "$work/read.rpd"
