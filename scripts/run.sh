#!/usr/bin/env bash
# Builds the Windows configuration and starts REVEDIZ under Wine; installs
# what is missing first.
#
# The tool runs in $BUILD/run/, which holds REVEDIZ.exe, the device simulator
# vavuro32.dll (when it is built) and the sixteen resource list files. With
# DISPLAY set it shows on that desktop and runs until you close it; without
# (or with REVEDIZ_HEADLESS=1) it runs on a virtual Xvfb display and is closed
# again at once. Either way $BUILD/screenshot-main.png shows its main window.
# BUILD is $REVEDIZ_BUILD_DIR (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
. "$ROOT/scripts/wine-env.sh"

BUILD=${REVEDIZ_BUILD_DIR:-build}
case "$BUILD" in /*) ;; *) BUILD="$ROOT/$BUILD" ;; esac
RUN="$BUILD/run"
SHOT="$BUILD/screenshot-main.png"

revediz_install_packages
# The 32-bit build, or where this machine runs no i386 code, the 64-bit one.
revediz_choose_wine_arch "$ROOT"
WIN32="$BUILD/$REVEDIZ_WINE_ARCH"
[ "$REVEDIZ_WINE_ARCH" = win64 ] && revediz_log "this machine runs no 32-bit x86 code: running the 64-bit build"
revediz_log "building $WIN32"
mkdir -p "$BUILD"
cmake -S "$ROOT" -B "$WIN32" -DCMAKE_TOOLCHAIN_FILE="$REVEDIZ_WINE_TOOLCHAIN" >"$WIN32.configure.log" 2>&1 ||
  { cat "$WIN32.configure.log"; exit 1; }
cmake --build "$WIN32" -j"${REVEDIZ_JOBS:-2}" --target REVEDIZ revediz_window
# grep reads the whole list (with -q it would stop early and break make's pipe).
if cmake --build "$WIN32" --target help | grep -w vavuro32 >/dev/null; then
  cmake --build "$WIN32" -j"${REVEDIZ_JOBS:-2}" --target vavuro32
fi

revediz_log "preparing $RUN"
rm -rf "$RUN"
mkdir -p "$RUN"
cp "$WIN32/REVEDIZ.exe" "$RUN/"
SIMULATOR=$(find "$WIN32" -name vavuro32.dll -print -quit)
if [ -n "$SIMULATOR" ]; then
  cp "$SIMULATOR" "$RUN/"
else
  revediz_log "no vavuro32.dll built: PosInitialize will report the missing library"
fi
cp "$ROOT"/data/*.DAT "$RUN/"

trap revediz_cleanup EXIT
INTERACTIVE=1
if [ -z "${DISPLAY:-}" ] || [ -n "${REVEDIZ_HEADLESS:-}" ]; then
  INTERACTIVE=0
  revediz_start_xvfb
fi
revediz_wine_env "$BUILD/$REVEDIZ_WINE_PREFIX_NAME" "$REVEDIZ_WINE_ARCH"
revediz_prepare_prefix
revediz_start_wineserver

revediz_log "starting REVEDIZ.exe on display $DISPLAY"
(cd "$RUN" && exec wine REVEDIZ.exe </dev/null) &
TOOL=$!
HELPER="$WIN32/revediz_window.exe"
if ! RECT=$(wine "$HELPER" wait 30000 </dev/null | tr -d '\r'); then
  echo "REVEDIZ's main window did not appear" >&2
  kill "$TOOL" 2>/dev/null || true
  exit 1
fi

# The main window's rectangle is in desktop pixels: cut it out of the Wine
# desktop window (or of the whole screen if that cannot be found).
read -r X Y W H <<<"$RECT"
DESKTOP=$(xdotool search --name "Wine desktop" 2>/dev/null | head -n 1 || true)
if [ -n "$DESKTOP" ] && import -window "$DESKTOP" "$BUILD/screenshot-desktop.png" 2>/dev/null; then
  [ "$X" -lt 0 ] && { W=$((W + X)); X=0; }
  [ "$Y" -lt 0 ] && { H=$((H + Y)); Y=0; }
  convert "$BUILD/screenshot-desktop.png" -crop "${W}x${H}+${X}+${Y}" +repage "$SHOT"
else
  import -window root "$SHOT"
fi
revediz_log "screenshot: $SHOT"

if [ "$INTERACTIVE" -eq 1 ]; then
  revediz_log "REVEDIZ is running; close its window to end"
else
  wine "$HELPER" close 10000 </dev/null >/dev/null || true
fi
STATUS=0
wait "$TOOL" || STATUS=$?
revediz_log "REVEDIZ ended with status $STATUS"
exit "$STATUS"
