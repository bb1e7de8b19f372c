#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in build/fuzz and runs each one for the given number of seconds
# (default 5: the CI smoke run; 600 for a long run), or until a number of
# executions.
#
#   scripts/fuzz.sh [--runs N] [--parallel K] [--merge] [SECONDS] [TARGET...]
#   scripts/fuzz.sh --rate [TARGET...]
#       scripts/fuzz.sh 5                       every target, 5 s each
#       scripts/fuzz.sh 600 scenario            one target, 10 minutes
#       scripts/fuzz.sh --runs 10000000 --parallel 2 --merge
#                                               a deep run: every target to ten
#                                               million executions, two at once,
#                                               what it found kept as seeds
#
# --runs N      each target runs until N executions (SECONDS is then no bound)
# --parallel K  K targets at once (default 1; each uses one core)
# --rate        only measures: each target fuzzes 200,000 inputs from a copy of
#               its seeds, one at a time, and prints its executions a second
#               of CPU time (one core, whatever else the machine runs)
# --merge       afterwards, the inputs that reach new code are merged
#               (libFuzzer's -merge=1) into the target's seed folder
#               tests/fuzz/corpus/<target>, beside the seeds written by hand;
#               the merge counts edges reached, not how often (-use_counters=0),
#               so the kept corpus stays at a few hundred files
#
# REVEDIZ_FUZZ_TIMEOUT bounds one input in seconds (default 10; give a deep run
# at low priority more: a starved process can go seconds without the CPU).
# REVEDIZ_FUZZ_BUILD_DIR puts the build elsewhere (default build/fuzz). Each
# target fuzzes a copy of its seed corpus in <build>/corpus-work/<target>
# (kept between runs, so long runs build on each other; the seeds in the tree
# are written only by --merge), and leaves crash inputs in
# <build>/artifacts/<target>/. Prints per target its executions, executions a
# second and new findings, then "N passed, M failed" (targets that ran clean,
# targets that found a crash); exits 1 on any finding.
set -u

cd "$(dirname "$0")/.."
ROOT=$(pwd)
usage() { echo "usage: scripts/fuzz.sh [--runs N] [--parallel K] [--merge] [SECONDS] [TARGET...] | --rate [TARGET...]" >&2; exit 2; }
number() { case "$1" in '' | *[!0-9]*) usage ;; esac; }
RUNS=0
PARALLEL=1
MERGE=0
RATE=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) number "${2:-}"; RUNS=$2; shift 2 ;;
    --parallel) number "${2:-}"; PARALLEL=$2; shift 2 ;;
    --merge) MERGE=1; shift ;;
    --rate) RATE=1; shift ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ "$PARALLEL" -ge 1 ] || usage
SECONDS_EACH=5
if [ $# -gt 0 ] && [ -z "${1//[0-9]/}" ]; then
  SECONDS_EACH=$1
  shift
elif [ "$RUNS" -gt 0 ]; then
  SECONDS_EACH=0  # no bound of time: the count ends the run
fi

ALL_TARGETS="lookup resource_list queue_message notifications arguments read_write result_report scenario control recorder
  reply bench ctl_args run_args log_forms"
TARGETS=${*:-$ALL_TARGETS}
BUILD=${REVEDIZ_FUZZ_BUILD_DIR:-build/fuzz}
case "$BUILD" in /*) ;; *) BUILD=$ROOT/$BUILD ;; esac
JOBS=${FUZZ_BUILD_JOBS:-2}

echo "== building the fuzz targets in ${BUILD#$ROOT/} (clang)"
mkdir -p "$BUILD"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  if ! CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DREVEDIZ_FUZZ=ON > "$BUILD/configure.log" 2>&1; then
    cat "$BUILD/configure.log"
    echo "fuzz: configure failed"
    echo "0 passed, 1 failed"
    exit 1
  fi
fi
build_targets=()
for t in $TARGETS; do build_targets+=(--target "fuzz_$t"); done
# Only the fuzz targets: the rest of the tree is not needed to fuzz.
if ! cmake --build "$BUILD" -j"$JOBS" "${build_targets[@]}" > "$BUILD/build.log" 2>&1; then
  tail -40 "$BUILD/build.log"
  echo "fuzz: build failed"
  echo "0 passed, 1 failed"
  exit 1
fi

# fuzz_one TARGET: one target's run; prints its line, and exits 1 on a finding.
fuzz_one() {
  local t=$1
  local exe=$BUILD/tests/fuzz/fuzz_$t
  local seeds=$ROOT/tests/fuzz/corpus/$t
  local work=$BUILD/corpus-work/$t
  local artifacts=$BUILD/artifacts/$t
  local log=$BUILD/logs/$t.log
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null
  local before
  before=$(find "$artifacts" -type f | wc -l)

  # -jobs/-workers stay at one: --parallel runs targets side by side instead.
  local bound=(-max_total_time="$SECONDS_EACH")
  [ "$RUNS" -gt 0 ] && bound=(-runs="$RUNS" -max_total_time="$SECONDS_EACH")
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  "$exe" "${bound[@]}" -rss_limit_mb=2048 -timeout="${REVEDIZ_FUZZ_TIMEOUT:-10}" \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" > "$log" 2>&1
  local rc=$?

  local execs rate seconds
  execs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *\([0-9]*\).*/\1/p' "$log" | tail -1)
  if [ -z "$execs" ]; then
    # Ended by a finding: the last status line holds the count so far.
    execs=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$log" | tail -1)
  fi
  seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  local units after findings
  units=$(find "$work" -type f | wc -l)
  after=$(find "$artifacts" -type f | wc -l)
  findings=$((after - before))
  if [ "$rc" -ne 0 ] && [ "$findings" -eq 0 ]; then findings=1; fi
  printf '%-14s %12s executions in %ss (%s a second), corpus %5d units, %d new findings\n' \
    "$t" "${execs:-0}" "${seconds:-$SECONDS_EACH}" "${rate:-?}" "$units" "$findings"
  if [ "$findings" -ne 0 ]; then
    echo "  $t: see $log; inputs in $artifacts/"
    grep -m3 -E 'ERROR: |fuzz property failed|runtime error' "$log" | sed 's/^/    /'
    return 1
  fi
  if [ "$MERGE" -eq 1 ]; then
    mkdir -p "$seeds"
    local kept
    kept=$(find "$seeds" -type f | wc -l)
    "$exe" -merge=1 -use_counters=0 "$seeds" "$work" > "$BUILD/logs/$t.merge.log" 2>&1
    echo "  $t: seeds $kept -> $(find "$seeds" -type f | wc -l) after merging"
  fi
  return 0
}

if [ "$RATE" -eq 1 ]; then
  for t in $TARGETS; do
    scratch=$(mktemp -d)
    cp "$ROOT/tests/fuzz/corpus/$t"/* "$scratch"/ 2>/dev/null
    TIMEFORMAT=%U
    cpu=$( { time "$BUILD/tests/fuzz/fuzz_$t" -runs=200000 "$scratch" >/dev/null 2>&1; } 2>&1 )
    rm -rf "$scratch"
    awk -v t="$t" -v cpu="$cpu" 'BEGIN { printf "%-14s %8.0f executions a second of CPU time (200000 in %s s)\n", t, 200000 / (cpu + 0.001), cpu }'
  done
  exit 0
fi

passed=0
failed=0
results=$BUILD/logs/results
mkdir -p "$results"
rm -f "$results"/*
running=0
for t in $TARGETS; do
  if [ "$running" -ge "$PARALLEL" ]; then
    wait -n
    running=$((running - 1))
  fi
  ( fuzz_one "$t"; echo $? > "$results/$t" ) &
  running=$((running + 1))
done
wait
for t in $TARGETS; do
  if [ "$(cat "$results/$t" 2>/dev/null)" = 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
