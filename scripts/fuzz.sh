#!/usr/bin/env bash
# Fuzzes the headless pipeline (fuzz/) with libFuzzer under ASan+UBSan.
# Builds with clang into build-fuzz/, apart from the ordinary gcc build.
#
#   scripts/fuzz.sh --smoke          about a minute from the seed corpus (CI)
#   scripts/fuzz.sh --run SECONDS    a campaign of SECONDS on both cores that goes on
#                                    past findings; corpus kept in build-fuzz/corpus
#   scripts/fuzz.sh --final N [S]    N executions on each core (at most S seconds),
#                                    stopping at the first finding
#   scripts/fuzz.sh --seeds          rewrites fuzz/corpus from the image builder
#   scripts/fuzz.sh FILE...          replays inputs (for example a crash file)
# Fuzzing runs under nice 19. Findings land in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
GRUVIK2_FUZZ=1 scripts/deps.sh

B=build-fuzz
if [ ! -f $B/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S fuzz -B $B -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
if ! nice -n 19 cmake --build $B -j2 >$B/build.log 2>&1; then
  grep -E "error:|Error [0-9]|undefined reference" -A3 $B/build.log | head -80
  echo "build failed: see $B/build.log" >&2
  exit 1
fi

# A smaller quarantine and no allocation stacks while fuzzing: a third more
# runs. A replay (scripts/fuzz.sh FILE) shows the stacks.
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=16:malloc_context_size=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p $B/findings $B/corpus
# A full image is analysed per input, a full settings ring makes 10,080
# events (a quarter of a second): -timeout leaves room for a loaded machine.
# Such inputs are mutated less often than quick ones (their energy is scaled by
# their running time), which takes the rate from about a hundred runs a second
# to about eight hundred.
COMMON=(-max_len=8192 -timeout=60 -rss_limit_mb=4096 -artifact_prefix=$PWD/$B/findings/
        -entropic_scale_per_exec_time=1 -print_final_stats=1)

case "${1:-}" in
--seeds)
  rm -f fuzz/corpus/*.bin
  $B/gruvik2-fuzz-seeds fuzz/corpus
  ;;
--smoke)
  # The seed corpus, then a minute of mutations from it; nothing kept.
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  nice -n 19 $B/gruvik2-fuzz "${COMMON[@]}" -max_total_time=60 "$work" fuzz/corpus
  ;;
--run)
  nice -n 19 $B/gruvik2-fuzz "${COMMON[@]}" -max_total_time="${2:?seconds}" -fork=2 \
    -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -use_value_profile=1 $B/corpus fuzz/corpus
  ;;
--final)
  # One job per core, each ending at its first finding; logs in
  # build-fuzz/fuzz-JOB.log. Prints the executions and the CPU time used.
  runs=${2:?executions per core}
  cd $B
  pids=()
  for job in 0 1; do
    nice -n 19 ./gruvik2-fuzz "${COMMON[@]}" -runs="$runs" -max_total_time="${3:-86400}" \
      corpus ../fuzz/corpus >fuzz-$job.log 2>&1 &
    pids+=($!)
  done
  status=0
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  grep -h "stat::number_of_executed_units" fuzz-*.log
  times
  exit $status
  ;;
"" | -h | --help)
  sed -n '2,13p' "$0"
  ;;
*)
  ASAN_OPTIONS=detect_leaks=1:malloc_context_size=30 $B/gruvik2-fuzz "${COMMON[@]}" "$@"
  ;;
esac
