#!/usr/bin/env bash
# Builds REVEDIZ and runs every test; installs what is missing first.
#
#   native  $BUILD/native  the window-free logic and its unit tests
#   asan    $BUILD/asan    the same under AddressSanitizer + UBSan
#   win32   $BUILD/win32   REVEDIZ.exe, the simulator and the Wine tests
#                          (binding, simulator and end-to-end), on Xvfb
#   win32-release  $BUILD/win32-release  the same sources built optimised
#                          (Release), and its package checked on the host
#   win64   $BUILD/win64   the same for x86-64 under wine64, only where this
#                          machine runs no i386 code (win32 is then built,
#                          packaged and checked on the host alone)
#
# BUILD is $REVEDIZ_BUILD_DIR (default: build). The output ends with each
# suite's own ctest summary line; the exit status is nonzero if any build or
# test failed. REVEDIZ_TEST_TIMEOUT (s, default 120) bounds every test.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
. "$ROOT/scripts/wine-env.sh"

BUILD=${REVEDIZ_BUILD_DIR:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
JOBS=${REVEDIZ_JOBS:-2}
TEST_TIMEOUT=${REVEDIZ_TEST_TIMEOUT:-120}
STATUS=0
SUITES=()       # names, in run order
declare -A SUITE_SUMMARY SUITE_FAILED

trap revediz_cleanup EXIT
trap 'exit 130' INT TERM

# configure_and_build NAME DIR [cmake options...]
configure_and_build() {
  local name=$1 dir=$2
  shift 2
  revediz_log "$name: configure and build in $dir"
  if cmake -S "$ROOT" -B "$dir" "$@" >"$dir.configure.log" 2>&1 ||
     { cat "$dir.configure.log"; false; }; then
    if cmake --build "$dir" -j"$JOBS"; then
      return 0
    fi
  fi
  record_suite "$name" "build failed ($dir)" ""
  return 1
}

# record_suite NAME SUMMARY FAILED-TESTS: one block of the final summary.
# Later suites (fuzz smoke runs, valgrind) report through this too.
record_suite() {
  SUITES+=("$1")
  SUITE_SUMMARY[$1]=$2
  SUITE_FAILED[$1]=$3
  case "$2" in "100% tests passed"* | [0-9]*" passed, 0 failed") ;; *) STATUS=1 ;; esac
}

# run_ctest NAME DIR [ctest options...]
run_ctest() {
  local name=$1 dir=$2
  shift 2
  local log="$dir.ctest.log"
  revediz_log "$name: ctest in $dir"
  ctest --test-dir "$dir" --output-on-failure --timeout "$TEST_TIMEOUT" "$@" 2>&1 </dev/null | tee "$log"
  local rc=${PIPESTATUS[0]}
  local summary failed
  summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1)
  failed=$(sed -n '/^The following tests FAILED:/,/^Errors while running CTest/p' "$log" |
           grep -v '^Errors while running CTest')
  if [ -z "$summary" ]; then
    summary=$(grep -m1 -E 'No tests were found' "$log" || echo "ctest failed (status $rc)")
    [ "$rc" -eq 0 ] && summary="100% tests passed, 0 tests failed out of 0"
  fi
  [ "$rc" -ne 0 ] && case "$summary" in "100% tests passed"*) summary="ctest failed (status $rc)" ;; esac
  record_suite "$name" "$summary" "$failed"
}

# Hook: short fuzzing runs of the libFuzzer targets (clang, -DREVEDIZ_FUZZ=ON).
run_fuzz_smoke() {
  revediz_log "fuzz: short runs of every target"
  local log="$BUILD/fuzz-smoke.log"
  bash "$ROOT/scripts/fuzz.sh" "${REVEDIZ_FUZZ_SECONDS:-5}" 2>&1 </dev/null | tee "$log" | grep -v '^\['
  record_suite fuzz "$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1 || true)" ""
}

# Hook: the native unit tests under valgrind.
run_valgrind() {
  revediz_log "valgrind: unit tests under memcheck"
  local log="$BUILD/valgrind.log"
  VALGRIND_NO_BUILD=1 bash "$ROOT/scripts/valgrind.sh" 2>&1 </dev/null | tee "$log" | tail -n 5
  record_suite valgrind "$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1 || true)" ""
}

revediz_install_packages || exit 1
mkdir -p "$BUILD"

if configure_and_build native "$BUILD/native"; then
  run_ctest native "$BUILD/native" -j"$JOBS"
fi
if configure_and_build asan "$BUILD/asan" -DREVEDIZ_SANITIZE=ON; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest asan "$BUILD/asan" -j"$JOBS"
fi
run_fuzz_smoke
run_valgrind

# save_screenshots DIR: the pictures the tests saved there that differ from
# the README's (each has failed runner.readme_pictures), written over them in
# docs/screenshots; a picture that looks the same leaves its file unchanged.
save_screenshots() {
  cmake -DSHOTS="$1" -DPICTURES="$ROOT/docs/screenshots" -DUPDATE=ON -P "$ROOT/scripts/pictures.cmake"
}

# run_wine_suite NAME DIR PREFIX ARCH: the Wine tests of one Windows build.
run_wine_suite() {
  local name=$1 dir=$2
  revediz_wine_env "$3" "$4"
  revediz_start_xvfb
  if revediz_prepare_prefix; then
    revediz_start_wineserver
    revediz_hold_desktop "$dir/revediz_window.exe"
    # The README's screenshots come from this run (the example
    # runner/scenarios/readme_screenshots.scn saves them in its --out folder).
    local shots="$dir/tests/runner"
    rm -f "$shots"/*.bmp
    run_ctest "$name" "$dir" -j"$JOBS"
    save_screenshots "$shots"
    if [ -n "${SUITE_FAILED[$name]}" ]; then
      import -window root "$BUILD/screenshot-failure.png" 2>/dev/null &&
        revediz_log "screen at the end: $BUILD/screenshot-failure.png"
    fi
    revediz_stop_wineserver
  else
    record_suite "$name" "Wine prefix could not be prepared ($WINEPREFIX)" ""
  fi
  revediz_stop_xvfb
}

# The 32-bit build is the tool as shipped (and REVEDIZ.zip). Where this
# machine runs no i386 code, its host-side checks run here and its Wine tests
# on the 64-bit build of the same sources.
revediz_choose_wine_arch "$ROOT"
WIN32_TESTS=ON
[ "$REVEDIZ_WINE_ARCH" = win32 ] || WIN32_TESTS=OFF
if configure_and_build win32 "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
     -DREVEDIZ_WINE_TESTS="$WIN32_TESTS"; then
  if [ "$REVEDIZ_WINE_ARCH" = win32 ]; then
    run_wine_suite win32 "$BUILD/win32" "$BUILD/wineprefix" win32
  else
    revediz_log "this machine runs no 32-bit x86 code: win32 is built and packaged, its Wine tests run as win64"
    run_ctest win32-host "$BUILD/win32" -L host
  fi
fi
# The optimised 32-bit build (GCC's -O3 finds warnings the others do not):
# built warning-free, and its package checked on the host.
if configure_and_build win32-release "$BUILD/win32-release" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
     -DCMAKE_BUILD_TYPE=Release -DREVEDIZ_WINE_TESTS=OFF; then
  run_ctest win32-release "$BUILD/win32-release" -L host
fi
if [ "$REVEDIZ_WINE_ARCH" = win64 ] &&
   configure_and_build win64 "$BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$REVEDIZ_WINE_TOOLCHAIN"; then
  run_wine_suite win64 "$BUILD/win64" "$BUILD/wineprefix64" win64
fi

echo
revediz_log "summary"
for name in "${SUITES[@]}"; do
  echo "$name:"
  [ -n "${SUITE_FAILED[$name]}" ] && echo "${SUITE_FAILED[$name]}"
  echo "${SUITE_SUMMARY[$name]}"
done
exit $STATUS
