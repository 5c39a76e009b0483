#!/usr/bin/env bash
# The program's main job. Builds what is missing and writes a synthesized
# recorder memory to out/demo.rpd. With a display it starts Gruvik2 (open the
# image with "Открыть"); without one it writes the journal and the protocol of
# that memory to out/ and prints their paths.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
mkdir -p out
build/gruvik2-mkimage out/demo.rpd
if [ -n "${DISPLAY:-}" ]; then
  exec build/gruvik2
fi
build/gruvik2-cli info out/demo.rpd
build/gruvik2-cli journal out/demo.rpd --out out/journal.html
build/gruvik2-cli protocol out/demo.rpd --out out/protocol.html
echo "Image: out/demo.rpd"
echo "Journal: out/journal.html"
echo "Protocol: out/protocol.html"
