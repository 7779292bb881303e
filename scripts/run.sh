#!/usr/bin/env bash
# Builds the program and shows it under Wine. With a display ($DISPLAY) it
# opens the dialog for a person. Without one it plays the README's
# walk-through by itself and ends (scripts/demo.sh): in a private network
# namespace where only loopback exists, the virtual printer on 127.0.0.1, the
# dialog on a virtual display (Xvfb), Network Printer chosen, 127.0.0.1 typed,
# Connect Test pressed; it saves the dialog, the notice and the printed page
# as PNGs in build/demo/ and prints their paths.
# It runs the 32-bit program where this machine runs 32-bit code, and the
# 64-bit program under 64-bit Wine where it does not (RUN_PROGRAM=32 or 64
# chooses).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
# shellcheck source=machine.sh
source "$root/scripts/machine.sh"

bits=${RUN_PROGRAM:-}
if [ -z "$bits" ]; then
  if [ "$LUMATREK_RUNS_32BIT" = yes ]; then bits=32; else bits=64; fi
fi
case "$bits" in
  32) [ "$LUMATREK_RUNS_32BIT" = yes ] || { echo "The 32-bit program cannot run here: $LUMATREK_MACHINE." >&2; exit 2; } ;;
  64) ;;
  *) echo "RUN_PROGRAM must be 32 or 64" >&2; exit 2 ;;
esac
exe=$build/win$bits/lumatrek-setup.exe

if [ -z "${LUMATREK_DEMO_INSIDE:-}" ]; then
  # First of all, before anything is installed or built.
  echo "== $LUMATREK_MACHINE: running the $bits-bit program under $(
    [ "$bits" = 64 ] && echo "64-bit Wine" || echo "Wine")"
  "$root/scripts/setup-deps.sh"
  "$root/scripts/build.sh"
  if [ -z "${DISPLAY:-}" ]; then
    # Nothing in the demonstration can reach any address but loopback.
    flags=(--net --mount --fork)
    [ "$(id -u)" -eq 0 ] || flags+=(--map-root-user)
    exec unshare "${flags[@]}" env LUMATREK_DEMO_INSIDE=1 RUN_PROGRAM="$bits" bash "$0" "$@"
  fi
fi

if [ "$LUMATREK_RUNS_32BIT" = yes ]; then
  wine_cmd=(wine) wineserver_cmd=(wineserver) wineboot_cmd=(wineboot)
else
  # Debian's wine wrappers try the 32-bit loader first: call the 64-bit programs.
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
  wine_cmd=(/usr/lib/wine/wine64) wineserver_cmd=(/usr/lib/wine/wineserver64)
  wineboot_cmd=(/usr/lib/wine/wine64 wineboot.exe)
fi
# By these names the demonstration and the robot helpers call them.
wine() { command "${wine_cmd[@]}" "$@"; }
wineserver() { command "${wineserver_cmd[@]}" "$@"; }
wineboot() { command "${wineboot_cmd[@]}" "$@"; }

# A 32-bit-only prefix cannot hold the 64-bit program: one prefix per kind.
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix$bits}
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engine is needed: skip the offers to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Code page 936, so the program's Chinese messages show as they do on the target systems.
export LC_ALL=zh_CN.UTF-8

# Sets up the prefix once (on the virtual display, with no window manager,
# Wine draws the frames and captions itself), and gives it the Marlett
# font of Wine's own fonts (fonts-wine), which draws the title-bar buttons.
# Debian's Wine looks for its fonts beside the system's (/usr/share/fonts),
# not where fonts-wine puts them, so Marlett is copied into the prefix's Fonts folder.
prepare_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Setting up the Wine prefix $WINEPREFIX (once)." >&2
    wineboot -i >/dev/null 2>&1
    if [ -n "${LUMATREK_DEMO_INSIDE:-}" ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
    wineserver -w
  fi
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

# The "USB Port:" list shows the spooler's ports whose names hold "USB".
# Wine's spooler has none (no USB printer is attached under Wine), so there
# the list starts empty: say so, and how to add one.
say_why_usb_list_is_empty() {
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports'
  if ! wine reg query "$key" 2>/dev/null | tr -d '\r' | grep -Eq '^ +[^ ]*USB'; then
    echo "The USB Port list is empty: it lists the spooler's USB ports, and under Wine there are none" \
      "(no USB printer is attached to Wine's spooler). To list one: wine reg add '$key' /v USB001 /t REG_SZ /d \"\" /f" >&2
  fi
}

if [ -z "${LUMATREK_DEMO_INSIDE:-}" ]; then
  prepare_prefix
  say_why_usb_list_is_empty
  exec "${wine_cmd[@]}" "$exe"
fi

DEMO_BITS=$bits
# shellcheck source=demo.sh
source "$root/scripts/demo.sh"
run_demo
