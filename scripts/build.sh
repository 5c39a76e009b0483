#!/usr/bin/env bash
# Configures build/ (or the folder in $BUILD_DIR) when needed and builds what is stale.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
"$(dirname "$0")/deps.sh"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
if ! cmake --build "$BUILD_DIR" -j"$(nproc)" >"$BUILD_DIR"/build.log 2>&1; then
  grep -E "error:|Error [0-9]|undefined reference" -A3 "$BUILD_DIR"/build.log | head -80; echo "build failed: see "$BUILD_DIR"/build.log" >&2; exit 1
fi
