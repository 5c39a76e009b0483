#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, runs the core suites and
# (under a virtual X server of a laptop's size, with a window manager) the GUI
# suites.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR
scripts/build.sh
# lintian and the other checkers of the package test (tests/package.sh).
GRUVIK2_PACKAGING=1 scripts/deps.sh
cd "$BUILD_DIR"
ctest --output-on-failure -j2 -LE gui
if ctest -N -L gui | grep -q 'Total Tests: [1-9]'; then
  # A laptop's screen with a window manager: the window must fit it.
  xvfb-run -a -s "-screen 0 1366x768x24" "$root"/scripts/with-wm.sh ctest --output-on-failure -L gui
fi
echo "All tests passed."
