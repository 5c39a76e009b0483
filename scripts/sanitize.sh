#!/usr/bin/env bash
# Builds the core libraries, the command line, the tools and the core tests
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (no
# window, no benchmarks) and runs the core tests and the command-line tests
# against those sanitized programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
if [ ! -f build-asan/CMakeCache.txt ]; then
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGRUVIK2_SANITIZE=ON -DGRUVIK2_GUI=OFF \
        -DGRUVIK2_BENCH=OFF >/dev/null
fi
if ! cmake --build build-asan -j"$(nproc)" >build-asan/build.log 2>&1; then
  grep -E "error:|Error [0-9]|undefined reference" -A3 build-asan/build.log | head -80; echo "build failed: see build-asan/build.log" >&2; exit 1
fi
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions="$PWD/scripts/lsan-suppressions.txt"
export UBSAN_OPTIONS=print_stacktrace=1
build-asan/gruvik2-core-tests --gtest_brief=1
# A sanitizer report ends the program with a non-zero status, which the
# command-line tests see as a failure.
(cd build-asan && ctest --output-on-failure -L cli)
