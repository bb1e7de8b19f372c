#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in build/fuzz and runs each one, one after another, for the given
# number of seconds (default 5: the CI smoke run; 600 for a long run).
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 5
#                                                  scripts/fuzz.sh 600 scenario
#
# REVEDIZ_FUZZ_BUILD_DIR puts the build elsewhere (default build/fuzz). Each
# target fuzzes a copy of its seed corpus in <build>/corpus-work/<target>
# (kept between runs, so long runs build on each other; the seeds in the tree
# are never written), and leaves crash inputs in <build>/artifacts/<target>/.
# Prints per target its executions and new findings, then "N passed, M failed"
# (targets that ran clean, targets that found a crash); exits 1 on any finding.
set -u

cd "$(dirname "$0")/.."
ROOT=$(pwd)
SECONDS_EACH=${1:-5}
shift || true
case "$SECONDS_EACH" in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac

ALL_TARGETS="lookup resource_list queue_message notifications arguments read_write result_report scenario control recorder"
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

passed=0
failed=0
for t in $TARGETS; do
  exe=$BUILD/tests/fuzz/fuzz_$t
  seeds=$ROOT/tests/fuzz/corpus/$t
  work=$BUILD/corpus-work/$t
  artifacts=$BUILD/artifacts/$t
  log=$BUILD/logs/$t.log
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  [ -d "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null
  before=$(find "$artifacts" -type f | wc -l)

  # -jobs/-workers stay at one: the machine's two cores are shared.
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  "$exe" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" > "$log" 2>&1
  rc=$?

  execs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -1)
  if [ -z "$execs" ]; then
    # Ended by a finding: the last status line holds the count so far.
    execs=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$log" | tail -1)
  fi
  units=$(find "$work" -type f | wc -l)
  after=$(find "$artifacts" -type f | wc -l)
  findings=$((after - before))
  if [ "$rc" -ne 0 ] && [ "$findings" -eq 0 ]; then findings=1; fi
  printf '%-14s %12s executions in %ss, corpus %5d units, %d new findings\n' \
    "$t" "${execs:-0}" "$SECONDS_EACH" "$units" "$findings"
  if [ "$findings" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "  $t: see $log; inputs in $artifacts/"
    grep -m3 -E 'ERROR: |fuzz property failed|runtime error' "$log" | sed 's/^/    /'
  fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
