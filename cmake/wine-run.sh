#!/bin/sh
# Runs a Windows program under Wine in the build tree's own prefix; ctest uses
# it as the emulator of the cross build. WINEPREFIX and DISPLAY come from the
# test script; defaults serve a manual run from the build folder.
: "${WINEARCH:=win32}"
: "${WINEDEBUG:=-all}"
export WINEARCH WINEDEBUG
exec wine "$@"
