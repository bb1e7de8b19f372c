# Shared set-up for scripts/test.sh and scripts/run.sh; source it, then call
# the functions. Everything lives under the build folder:
#   $REVEDIZ_BUILD_DIR/wineprefix     one 32-bit Wine prefix, prepared once
#   $REVEDIZ_BUILD_DIR/wineprefix64   its 64-bit twin, where i386 code cannot run
# Only processes started here are stopped here (by their own pid, or
# wineserver -k for this prefix alone).

REVEDIZ_PACKAGES="g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix cmake make googletest wine wine64 wine32:i386 fonts-wine
  xvfb xauth imagemagick xdotool clang libclang-rt-14-dev valgrind ninja-build"

revediz_log() { printf '== %s\n' "$*"; }

# Installs whatever of REVEDIZ_PACKAGES is missing (apt-get, non-interactive).
revediz_install_packages() {
  local missing=() pkg
  for pkg in $REVEDIZ_PACKAGES; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  revediz_log "installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root to install: ${missing[*]}" >&2; return 1; }
    sudo="sudo"
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q </dev/null
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" </dev/null
}

# True where this machine executes 32-bit x86 code. Some kernels and
# hypervisors refuse every i386 program (execve fails with ENOEXEC), and then
# no 32-bit Wine process can start at all.
revediz_can_run_i386() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# Chooses the Windows build that this machine can run and sets
# REVEDIZ_WINE_ARCH (win32 or win64), REVEDIZ_WINE_TOOLCHAIN and
# REVEDIZ_WINE_PREFIX_NAME. win32 is the tool's own build; where no i386 code
# runs (or with REVEDIZ_WINE_ARCH=win64 set), the same sources are built for
# x86-64 and run under wine64.
revediz_choose_wine_arch() {
  local root=$1
  if [ "${REVEDIZ_WINE_ARCH:-}" = win64 ] || ! revediz_can_run_i386; then
    REVEDIZ_WINE_ARCH=win64
    REVEDIZ_WINE_TOOLCHAIN="$root/cmake/mingw-x86_64.cmake"
    REVEDIZ_WINE_PREFIX_NAME=wineprefix64
  else
    REVEDIZ_WINE_ARCH=win32
    REVEDIZ_WINE_TOOLCHAIN="$root/cmake/mingw-i686.cmake"
    REVEDIZ_WINE_PREFIX_NAME=wineprefix
  fi
}

# Wine settings for every later wine call of the script: the prefix and its
# architecture, win32 (default) or win64. For win64, `wine` and `wine-stable`
# are put first on PATH as wine64 itself: Debian's launcher picks the 32-bit
# loader whenever it is installed, even where it cannot run.
revediz_wine_env() {
  export WINEPREFIX="$1"
  export WINEARCH=${2:-win32}
  export WINEDEBUG=-all
  if [ "$WINEARCH" = win64 ]; then
    local shim="$(dirname "$WINEPREFIX")/wine64-bin" name
    mkdir -p "$shim"
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
      chmod +x "$shim/$name"
    done
    case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
  fi
}

# Starts Xvfb on the first free display from :90 up and exports DISPLAY.
# REVEDIZ_XVFB_PID holds its pid; revediz_cleanup stops it.
revediz_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  REVEDIZ_XVFB_PID=$!
  local i
  for i in $(seq 1 250); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    if ! kill -0 "$REVEDIZ_XVFB_PID" 2>/dev/null; then
      # Lost a race for the display number: try the next one.
      REVEDIZ_XVFB_PID=""
      revediz_start_xvfb
      return
    fi
    sleep 0.02
  done
  export DISPLAY=":$n"
}

revediz_stop_xvfb() {
  if [ -n "${REVEDIZ_XVFB_PID:-}" ]; then
    kill "$REVEDIZ_XVFB_PID" 2>/dev/null || true
    wait "$REVEDIZ_XVFB_PID" 2>/dev/null || true
    REVEDIZ_XVFB_PID=""
  fi
}

# Prepares the prefix once: a fresh prefix of $WINEARCH, Wine's fonts where Wine
# finds them, a default virtual desktop (full rendering, no stalls on hiding
# windows, and a program's own exit status from `wine`), and a caret that does
# not blink (a picture of a dialog is the same whenever it is taken). A stamp
# file marks it done, named anew when the preparation changes; an unfinished or
# older one is made again from scratch.
revediz_prepare_prefix() {
  local stamp="$WINEPREFIX/.revediz-prepared-2"
  [ -f "$stamp" ] && return 0
  revediz_log "preparing Wine prefix $WINEPREFIX (first time: up to a minute)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Control Panel\Desktop' /v CursorBlinkRate /d -1 /f >/dev/null 2>&1 </dev/null
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if ! grep -q '"Desktop"="Default"' "$WINEPREFIX/user.reg" || ! grep -q '"CursorBlinkRate"="-1"' "$WINEPREFIX/user.reg"; then
    echo "Wine prefix $WINEPREFIX: desktop settings not stored" >&2
    return 1
  fi
  touch "$stamp"
}

# One persistent server for the prefix, warmed up with one program, so that
# Wine's background processes do not hold the test runner's output open.
revediz_start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  REVEDIZ_WINESERVER_STARTED=1
}

# Starts Wine's desktop through a program that keeps it until the server
# stops (revediz_window.exe hold, from the Windows build). A desktop started
# by a test instead would inherit that test's output and keep ctest waiting
# for it seconds after the test has ended.
revediz_hold_desktop() {
  local helper=$1 ready="$WINEPREFIX/.revediz-desktop-ready" i
  [ -f "$helper" ] || return 0
  rm -f "$ready"
  wine "$helper" hold "Z:${ready//\//\\}" >/dev/null 2>&1 </dev/null &
  REVEDIZ_DESKTOP_PID=$!
  for i in $(seq 1 1500); do
    [ -e "$ready" ] && return 0
    kill -0 "$REVEDIZ_DESKTOP_PID" 2>/dev/null || return 0
    sleep 0.02
  done
}

revediz_stop_wineserver() {
  if [ -n "${REVEDIZ_DESKTOP_PID:-}" ]; then
    kill "$REVEDIZ_DESKTOP_PID" 2>/dev/null || true
    wait "$REVEDIZ_DESKTOP_PID" 2>/dev/null || true
    REVEDIZ_DESKTOP_PID=""
  fi
  if [ -n "${REVEDIZ_WINESERVER_STARTED:-}" ]; then
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
    REVEDIZ_WINESERVER_STARTED=""
  fi
}

# Stops what this script started; installed as the EXIT trap.
revediz_cleanup() {
  revediz_stop_wineserver
  revediz_stop_xvfb
}
