#!/usr/bin/env bash
# Builds and runs the benchmarks, prints the results and writes them to
# $BUILD/bench/results.md; installs what is missing first.
#
#   $BUILD/bench-native  dump_bench: the hex dump core (Google Benchmark),
#                        timed against xxd and hexdump -C on the same bytes
#   $BUILD/bench-win32   bench_driver.exe under Wine on Xvfb: REVEDIZ.exe
#                        against the bare Win32 baseline bare_window.exe
#
# BUILD is $REVEDIZ_BUILD_DIR (default: build). Every ratio comes from this
# one run. The Wine prefix is the shared $BUILD/wineprefix (prepared once as
# scripts/test.sh does); REVEDIZ_BENCH_WINEPREFIX names another.
# REVEDIZ_BENCH_STARTUP_RUNS (default 15), REVEDIZ_BENCH_LINE_RUNS (default
# 1: a run of the line-at-a-time baselines takes minutes under Wine) and
# REVEDIZ_BENCH_BURST_RUNS (default 5: the tool's burst and its batched
# baseline) and REVEDIZ_BENCH_RECORD_RUNS (default 3: the burst session of
# tests/scenarios/record/burst.scn, whose `ctl record stop` step is timed,
# the replay of its recording, and the same lines read in one batch through the
# pipe; each timed from the runner's output as it streams) set the
# runs. Exit status: nonzero if a build or a measurement
# failed or the dump differed; a missed goal is reported, not failed.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
. "$ROOT/scripts/wine-env.sh"
REVEDIZ_PACKAGES="$REVEDIZ_PACKAGES libbenchmark-dev xxd bsdextrautils"

BUILD=${REVEDIZ_BUILD_DIR:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
JOBS=${REVEDIZ_JOBS:-2}
OUT="$BUILD/bench"
RESULTS="$OUT/results.md"
STARTUP_RUNS=${REVEDIZ_BENCH_STARTUP_RUNS:-15}
LINE_RUNS=${REVEDIZ_BENCH_LINE_RUNS:-1}
BURST_RUNS=${REVEDIZ_BENCH_BURST_RUNS:-5}
RECORD_RUNS=${REVEDIZ_BENCH_RECORD_RUNS:-3}
STATUS=0

trap revediz_cleanup EXIT
trap 'exit 130' INT TERM

# build NAME DIR TARGET [cmake options...]
build() {
  local name=$1 dir=$2 target=$3
  shift 3
  revediz_log "$name: configure and build $target in $dir"
  cmake -S "$ROOT" -B "$dir" -DREVEDIZ_BENCH=ON "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j"$JOBS" --target "$target"
}

# cpu_seconds COMMAND...: user + system seconds of one run, output dropped.
cpu_seconds() {
  local TIMEFORMAT='%3U %3S' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 ) || return 1
  awk '{ printf "%.3f", $1 + $2 }' <<<"$t"
}

# best_of_3 COMMAND...: the least cpu_seconds of three runs.
best_of_3() {
  local best="" t i
  for i in 1 2 3; do
    t=$(cpu_seconds "$@") || return 1
    best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  echo "$best"
}

# The server of a prefix another run already uses is left alone.
wineserver_running() {
  local inode dev
  dev=$(stat -c %d "$WINEPREFIX" 2>/dev/null) || return 1
  inode=$(stat -c %i "$WINEPREFIX")
  [ -S "/tmp/.wine-$(id -u)/server-$(printf %x "$dev")-$(printf %x "$inode")/socket" ]
}

# seconds_between START END COMMAND...: runs COMMAND (a revediz-run) and
# prints the seconds from the first output holding START to the first after
# it holding END (the runner flushes each step's line before it runs the
# step, and its "ok" with the next one); fails if the run fails or the two
# came in one piece of output.
seconds_between() {
  python3 - "$@" <<'PY'
import os, subprocess, sys, time
first, last = sys.argv[1].encode(), sys.argv[2].encode()
run = subprocess.Popen(sys.argv[3:], stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, stderr=subprocess.STDOUT)
out, shown, done = b"", None, None
while chunk := os.read(run.stdout.fileno(), 65536):
    now, out = time.monotonic(), out + chunk
    at = out.find(first)
    if shown is None and at >= 0:
        shown, start = now, at + len(first)
    if shown is not None and done is None and out.find(last, start) >= 0:
        done = now
status = run.wait()
if status != 0 or done is None or done == shown:
    sys.stderr.write(out.decode(errors="replace")[-3000:] + "\nnot timed (status %d)\n" % status)
    sys.exit(1)
print("%.3f" % (done - shown))
PY
}

# median_row LABEL GOAL-TEXT GOAL-TEST TIMES...: one table row of the median,
# min and max of the times; GOAL-TEST is an awk condition on m (the median).
median_row() {
  local label=$1 goal=$2 test=$3
  shift 3
  printf '%s\n' "$@" | sed '/^$/d' | sort -n | awk -v label="$label" -v goal="$goal" '{ t[NR] = $1 } END {
    m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
    printf "| %s | %d | %.2f s | %.2f / %.2f s | %s | %s |\n", label, NR, m, t[1], t[NR], goal, ('"$test"') ? "met" : "missed"
  }'
}

revediz_install_packages || exit 1
mkdir -p "$OUT"

# --- the dump core against xxd and hexdump -C ---------------------------------
DUMP_TABLE=""
if build native "$BUILD/bench-native" dump_bench; then
  DATA="$OUT/dump-data.bin"
  revediz_log "dump core: Google Benchmark (64 MiB in 65519-byte blocks)"
  "$BUILD/bench-native/bench/dump_bench" --benchmark_color=false --write-data "$DATA" 2>&1 | tee "$OUT/dump_bench.txt"
  if [ "${PIPESTATUS[0]}" -ne 0 ]; then
    echo "dump_bench failed" >&2
    STATUS=1
  else
    bytes=$(stat -c %s "$DATA")
    ours=$(sed -n 's/^.*dump core: \([0-9.]*\) ns\/byte$/\1/p' "$OUT/dump_bench.txt")
    check=$(grep '^dump check:' "$OUT/dump_bench.txt" | sed 's/^dump check: //')
    revediz_log "xxd and hexdump -C on the same $bytes bytes (CPU time, best of 3)"
    xxd_s=$(best_of_3 xxd "$DATA") || STATUS=1
    hexdump_s=$(best_of_3 hexdump -C "$DATA") || STATUS=1
    rm -f "$DATA"
    DUMP_TABLE=$(awk -v ours="$ours" -v xs="$xxd_s" -v hs="$hexdump_s" -v n="$bytes" -v check="$check" 'BEGIN {
      x = xs * 1e9 / n; h = hs * 1e9 / n
      print "| Dump of 64 MiB | ns/byte | Speed-up | Goal | Result |"
      print "|---|---|---|---|---|"
      printf "| REVEDIZ dump core (FormatHexDumpRows, best of 3) | %.2f | - | - | - |\n", ours
      printf "| xxd (best of 3) | %.2f | %.1fx | >= 10x | %s |\n", x, x / ours, (x / ours >= 10) ? "met" : "missed"
      printf "| hexdump -C (best of 3) | %.2f | %.1fx | - | - |\n", h, h / ours
      print ""
      print "Dump output: " check "."
    }')
  fi
else
  STATUS=1
fi

# --- REVEDIZ.exe against the bare Win32 program --------------------------------
WIN32_TABLE=""
RECORD_TABLE=""
revediz_choose_wine_arch "$ROOT"
if build win32 "$BUILD/bench-win32" bench_driver -DCMAKE_TOOLCHAIN_FILE="$REVEDIZ_WINE_TOOLCHAIN" &&
   cmake --build "$BUILD/bench-win32" -j"$JOBS" --target revediz-run; then
  revediz_wine_env "${REVEDIZ_BENCH_WINEPREFIX:-$BUILD/$REVEDIZ_WINE_PREFIX_NAME}" "$REVEDIZ_WINE_ARCH"
  revediz_start_xvfb
  if revediz_prepare_prefix; then
    if wineserver_running; then
      revediz_log "using the running wineserver of $WINEPREFIX"
    else
      revediz_start_wineserver
    fi
    revediz_log "REVEDIZ.exe against the bare program ($STARTUP_RUNS start-ups, $BURST_RUNS bursts, $LINE_RUNS runs of the rest)"
    (cd "$BUILD/bench-win32/bench" &&
      wine bench_driver.exe --startup-runs "$STARTUP_RUNS" --line-runs "$LINE_RUNS" --burst-runs "$BURST_RUNS" \
        >"$OUT/driver-table.txt" 2>"$OUT/driver.log" </dev/null)
    rc=$?
    tr -d '\r' <"$OUT/driver.log"
    WIN32_TABLE=$(tr -d '\r' <"$OUT/driver-table.txt")
    [ "$rc" -ne 0 ] && { echo "bench_driver failed (status $rc)" >&2; STATUS=1; }
    revediz_log "record stop, replay and one batched read of a burst session ($RECORD_RUNS runs each)"
    RUN=(wine "$BUILD/bench-win32/revediz-run.exe" --tool "$BUILD/bench-win32" --work "$OUT/record-work" --out "$OUT")
    STOPS=() CHECKS=() READS=()
    # The baseline: the log of the same burst read in one batch through the pipe (in the tool's own thread).
    cat >"$OUT/batched_log.scn" <<'SCN'
start
menu PosInitialize
dialog "POS Initialization"
click OK
expect box "POS Initialize" "Initialize Successful."
ok
bench burst PosAlarm 1667
skip log 10077
expect log-end
pipe "log"
expect reply "ok 10077 lines"
exit
expect exit 0
SCN
    for i in $(seq 1 "$RECORD_RUNS"); do
      # tests/scenarios/record/burst.scn writes its recording beside its working folder.
      rm -f "$OUT/record-work/record-burst.scn"
      stop=$(seconds_between "ctl record stop" "   ok" "${RUN[@]}" "$ROOT/tests/scenarios/record/burst.scn") &&
        STOPS+=("$stop") || { stop="?"; STATUS=1; }
      # The replay's 10,002 log checks: from the burst's "ok" to the verdict.
      check=$(seconds_between "bench burst PosAlarm 1667   ok" "PASS " "${RUN[@]}" "$OUT/record-work/record-burst.scn") &&
        CHECKS+=("$check") || { check="?"; STATUS=1; }
      batch=$(seconds_between 'pipe "log"' "   ok" "${RUN[@]}" "$OUT/batched_log.scn") &&
        READS+=("$batch") || { batch="?"; STATUS=1; }
      revediz_log "run $i: record stop $stop s, replay checks $check s, batched read $batch s"
    done
    RECORD_TABLE=$(
      echo "| Measure | Runs | Median | Min / max | Goal | Result |"
      echo "|---|---|---|---|---|---|"
      [ ${#STOPS[@]} -gt 0 ] && median_row 'Record stop (`ctl record stop`) of a 10,077-line session: a burst of 1667 notifications' \
        "<= 1 s" "m <= 1" "${STOPS[@]}"
      [ ${#READS[@]} -gt 0 ] && median_row "Baseline: the same 10,077 lines read in one batch (the pipe's \`log\` request)" "-" "1" "${READS[@]}"
      if [ ${#CHECKS[@]} -gt 0 ] && [ ${#READS[@]} -gt 0 ]; then
        read_m=$(printf '%s\n' "${READS[@]}" | sort -n | awk '{ t[NR] = $1 } END { print (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }')
        # Before the runner read a burst's log in one batch (85adb2a) these checks took about 14 s here, over a
        # hundred batched reads; they are to stay within ten.
        median_row "Replay of the recording: its 10,002 \`expect log\` steps (ratio to the batched read in the goal)" \
          "<= 10x the batched read" "m <= 10 * $read_m" "${CHECKS[@]}"
      fi
    )
    revediz_stop_wineserver
  else
    echo "Wine prefix could not be prepared ($WINEPREFIX)" >&2
    STATUS=1
  fi
  revediz_stop_xvfb
else
  STATUS=1
fi

{
  echo "# REVEDIZ benchmarks"
  echo
  echo "Run $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores, $(uname -m); Wine $(wine --version 2>/dev/null)."
  echo
  echo "## Win32 under Wine: REVEDIZ.exe against a bare Win32 program (times in ms, ratio REVEDIZ / bare; goal on the medians)"
  echo
  echo "${WIN32_TABLE:-(not measured)}"
  echo
  echo "## Recording: the simulator's record stop, through the control pipe (seconds, goal on the median)"
  echo
  echo "${RECORD_TABLE:-(not measured)}"
  echo
  echo "## Hex dump core against xxd and hexdump -C (CPU time per byte)"
  echo
  echo "${DUMP_TABLE:-(not measured)}"
} >"$RESULTS"

echo
revediz_log "results ($RESULTS)"
cat "$RESULTS"
exit $STATUS
