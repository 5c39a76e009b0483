#!/usr/bin/env bash
# Photographs the window as a laptop shows it, into docs/laptop/: a virtual
# 1366 x 768 screen with a window manager (openbox), the window maximised, a
# full memory's journal at level 1 without a row limit, and the demo's graph.
# Needs openbox (apt-get install openbox), which the tests do not: it brings
# URW fonts that fontconfig then prefers for "Times", so the pinned graph of
# tests/cli/outputs.sh differs on a machine that has it.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v openbox >/dev/null || { echo "laptop-shots.sh: openbox is not installed" >&2; exit 1; }
BUILD_DIR=${BUILD_DIR:-build}
BUILD_DIR=$BUILD_DIR scripts/build.sh
mkdir -p docs/laptop
out=$(pwd)/docs/laptop
cd "$BUILD_DIR"
GDK_BACKEND=x11 GRUVIK2_SHOTS=$out xvfb-run -a -s "-screen 0 1366x768x24" \
  sh -c 'openbox & wm=$!; sleep 1; ./gruvik2-gui-tests --gtest_filter=LaptopTest.*; status=$?; kill $wm; exit $status'
