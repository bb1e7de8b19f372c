#!/usr/bin/env bash
# Runs the native unit tests (build/native/tests/unit/unit_tests) under
# valgrind's memcheck: invalid reads and writes, uses of uninitialised
# values, bad frees and definite leaks all count as errors.
#
#   scripts/valgrind.sh [gtest arguments...]   e.g. scripts/valgrind.sh --gtest_filter='HexDump*'
#
# The test program is brought up to date first (configured in build/native
# if that folder has no build yet); VALGRIND_NO_BUILD=1 runs it as it is.
# Ends with "N passed, M failed": the unit tests that passed and failed, plus
# one more entry, "memcheck", that fails when valgrind reported any error.
set -u

cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build/native
EXE=$BUILD/tests/unit/unit_tests
LOGDIR=$BUILD/valgrind
mkdir -p "$LOGDIR"

if [ "${VALGRIND_NO_BUILD:-0}" != 1 ] || [ ! -x "$EXE" ]; then
  echo "== building the unit tests in build/native"
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" > "$LOGDIR/configure.log" 2>&1 ||
      { cat "$LOGDIR/configure.log"; echo "valgrind: configure failed"; echo "0 passed, 1 failed"; exit 1; }
  fi
  cmake --build "$BUILD" -j"${VALGRIND_BUILD_JOBS:-2}" --target unit_tests > "$LOGDIR/build.log" 2>&1 ||
    { tail -40 "$LOGDIR/build.log"; echo "valgrind: build failed"; echo "0 passed, 1 failed"; exit 1; }
fi

echo "== unit tests under valgrind memcheck"
# The tests that read and write files do so in their own folder, as under ctest.
cd "$BUILD/tests/unit" || exit 1
rm -f "$LOGDIR"/memcheck.*.log
REVEDIZ_DATA_DIR=${REVEDIZ_DATA_DIR:-$ROOT/data} \
valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
  --log-file="$LOGDIR/memcheck.%p.log" \
  "$EXE" --gtest_output="xml:$LOGDIR/unit_tests.xml" "$@" > "$LOGDIR/unit_tests.log" 2>&1
rc=$?

# Test counts from the report gtest wrote (the last lines of its output say the same).
tests=0
failures=0
if [ -f "$LOGDIR/unit_tests.xml" ]; then
  summary=$(grep -m1 '<testsuites ' "$LOGDIR/unit_tests.xml")
  tests=$(sed -n 's/.* tests="\([0-9]*\)".*/\1/p' <<< "$summary")
  failures=$(sed -n 's/.* failures="\([0-9]*\)".*/\1/p' <<< "$summary")
  disabled=$(sed -n 's/.* disabled="\([0-9]*\)".*/\1/p' <<< "$summary")
  tests=$((${tests:-0} - ${disabled:-0}))
fi
failures=${failures:-0}
passed=$((tests - failures))
failed=$failures

# Every process valgrind watched (death tests fork children) has its own log;
# children that were meant to die report their end, not errors of the code.
errors=0
for log in "$LOGDIR"/memcheck.*.log; do
  [ -f "$log" ] || continue
  n=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -1)
  if grep -q 'Process terminating with default action of signal 6' "$log"; then continue; fi
  errors=$((errors + ${n:-0}))
done

tail -3 "$LOGDIR/unit_tests.log"
grep -h -E 'definitely lost:|ERROR SUMMARY' "$LOGDIR"/memcheck.*.log 2>/dev/null | sort | uniq -c | sed 's/^/  /'
if [ "$errors" -eq 0 ] && [ "$tests" -gt 0 ] && { [ "$rc" -eq 0 ] || [ "$failed" -gt 0 ]; }; then
  echo "memcheck: no errors"
  passed=$((passed + 1))
else
  echo "memcheck: $errors errors (exit $rc); logs in $LOGDIR/"
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
