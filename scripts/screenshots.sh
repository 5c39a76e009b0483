#!/usr/bin/env bash
# Refreshes the README's pictures in docs/screenshots/: Gruvik2 reads the demo
# recorder through the reader emulator under a virtual X server of a laptop's
# size (1366 x 768) with a window manager, and each page
# (its history from an archive of the demo crane's readings) is photographed
# as a user would see it; then a second emulator, paced at the
# reader's 125000 bit/s, serves the pictures of the device choice and of a
# read in progress.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
work=$(mktemp -d)
emulators=()
trap 'kill "${emulators[@]}" 2>/dev/null || true; wait; rm -rf "$work"' EXIT
# emulate NAME [OPTIONS]: an emulator serving a copy of the demo recorder.
emulate() {
  local name=$1
  shift
  cp build/demo.rpd "$work/$name.rpd"
  build/gruvik2-reader-emu "$@" "$work/$name.rpd" > "$work/$name.txt" 2> "$work/$name.log" &
  emulators+=($!)
  for _ in $(seq 100); do
    [ -s "$work/$name.txt" ] && break
    sleep 0.1
  done
}
emulate recorder
emulate paced --rate 125000
mkdir -p docs/screenshots
# The read is filed into an archive of its own, which holds the demo crane's
# earlier readings.
mkdir -p "$work/series"
build/gruvik2-demo --series "$work/series" >/dev/null
build/gruvik2-cli archive add "$work"/series/*.rpd --archive "$work/archive" >/dev/null
GRUVIK2_ARCHIVE="$work/archive" GRUVIK2_BRIDGES=$(head -1 "$work/recorder.txt") GDK_BACKEND=x11 \
  xvfb-run -a -s "-screen 0 1366x768x24" scripts/with-wm.sh \
  build/gruvik2-screenshots docs/screenshots "$work/read.rpd" "$(head -1 "$work/paced.txt")"
