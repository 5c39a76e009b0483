#!/usr/bin/env bash
# The program's main job. For now: synthesizes a recorder memory, prints what
# its header, passport data and log regions hold, and lists its events.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
mkdir -p out
build/gruvik2-mkimage out/demo.rpd
build/gruvik2-cli info out/demo.rpd
build/gruvik2-cli events out/demo.rpd
echo "Image written to out/demo.rpd"
