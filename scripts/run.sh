#!/usr/bin/env bash
# Builds the program and runs it under Wine. Without a display it starts a
# virtual one (Xvfb) and saves a screenshot of the dialog to build/dialog.png.
# It runs the 32-bit program where this machine runs 32-bit code, and the
# 64-bit program under 64-bit Wine where it does not (RUN_PROGRAM=32 or 64
# chooses).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
# shellcheck source=machine.sh
source "$root/scripts/machine.sh"

"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh"

bits=${RUN_PROGRAM:-}
if [ -z "$bits" ]; then
  if [ "$LUMATREK_RUNS_32BIT" = yes ]; then bits=32; else bits=64; fi
fi
case "$bits" in
  32) [ "$LUMATREK_RUNS_32BIT" = yes ] || { echo "The 32-bit program cannot run here: $LUMATREK_MACHINE." >&2; exit 2; }
      exe=$build/win32/lumatrek-setup.exe ;;
  64) exe=$build/win64/lumatrek-setup.exe ;;
  *) echo "RUN_PROGRAM must be 32 or 64" >&2; exit 2 ;;
esac
echo "Running the $bits-bit program under Wine ($LUMATREK_MACHINE)." >&2

if [ "$LUMATREK_RUNS_32BIT" = yes ]; then
  wine=(wine) wineserver=(wineserver) wineboot=(wineboot)
else
  # Debian's wine wrappers try the 32-bit loader first: call the 64-bit programs.
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  wine=(/usr/lib/wine/wine64) wineserver=(/usr/lib/wine/wineserver64) wineboot=(/usr/lib/wine/wine64 wineboot.exe)
fi

# A 32-bit-only prefix cannot hold the 64-bit program: one prefix per kind.
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix$bits}
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engine is needed: skip the offers to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Code page 936, so the program's Chinese messages show as they do on the target systems.
export LC_ALL=zh_CN.UTF-8

if [ -n "${DISPLAY:-}" ]; then
  exec "${wine[@]}" "$exe"
fi

# A display number that no other X server holds.
display=88
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
echo "No display: running on a virtual one (Xvfb :$display); a screenshot follows." >&2
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=:$display
sleep 1
# A new prefix is set up first, so that the screenshot shows the dialog; there
# is no window manager, so Wine draws the frame and caption itself.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "${wineboot[@]}" -i >/dev/null 2>&1
  "${wine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "${wineserver[@]}" -w
fi
"${wine[@]}" "$exe" &
program=$!
sleep 6
import -window root "$build/dialog.png" && echo "Screenshot of the dialog: $build/dialog.png" >&2
echo "The program is running; press Ctrl+C to end it." >&2
wait "$program"
