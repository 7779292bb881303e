#!/usr/bin/env bash
# End-to-end suite: runs the real lumatrek-setup.exe under Wine and Xvfb,
# driven by robot.exe, inside a private network namespace where only loopback
# exists and /etc/hosts is our own. Usage: run.sh [NAME-FILTER]
#
# Each program is a product and runs every scenario: the 32-bit program
# (build/win32) and the 64-bit one (build/win64) where this machine runs
# 32-bit code, the 64-bit program alone under 64-bit Wine where it does not.
# E2E_PROGRAM=32 or E2E_PROGRAM=64 restricts a run to one program (32 fails
# at once on a machine that runs no 32-bit code).
# Needs a finished scripts/build.sh. Writes logs and screenshots to
# build/e2e/win32 and build/e2e/win64.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/machine.sh
source "$root/scripts/machine.sh"

case "${E2E_PROGRAM:-}" in
  "") if [ "$LUMATREK_RUNS_32BIT" = yes ]; then programs=(32 64); else programs=(64); fi ;;
  32 | 64) programs=("$E2E_PROGRAM") ;;
  *) echo "e2e: E2E_PROGRAM must be 32 or 64, not '$E2E_PROGRAM'" >&2; exit 2 ;;
esac
if [[ " ${programs[*]} " == *" 32 "* ]] && [ "$LUMATREK_RUNS_32BIT" != yes ]; then
  echo "e2e: the 32-bit program cannot run here ($LUMATREK_MACHINE)" >&2
  exit 2
fi

if [ -z "${LUMATREK_E2E_INSIDE:-}" ]; then
  if [ ${#programs[@]} -eq 2 ]; then which="the 32-bit and the 64-bit program"; else which="the ${programs[0]}-bit program"; fi
  echo "e2e: $LUMATREK_MACHINE; running $which"
  # Nothing in here can reach any address but loopback.
  flags=(--net --mount --fork)
  [ "$(id -u)" -eq 0 ] || flags+=(--map-root-user)
  exec unshare "${flags[@]}" env LUMATREK_E2E_INSIDE=1 bash "$0" "$@"
fi

filter=${1:-}
build=${BUILD_DIR:-$root/build}
out=${E2E_OUT_ROOT:-$build/e2e}
export E2E_ROOT=$root
mkdir -p "$out"

ip link set lo up
cat > "$out/hosts" <<'HOSTS'
127.0.0.1 localhost
127.0.0.2 printer.local
127.0.0.3 second-printer.local
HOSTS
mount --bind "$out/hosts" /etc/hosts

# Debian's wine, wine-stable, wineboot and wineserver start the 32-bit loader
# whenever wine32 is installed. Where the kernel runs no 32-bit code, the
# 64-bit programs are called directly, through commands of the same names
# ahead of the others on PATH (the scenarios call them by name).
if [ "$LUMATREK_RUNS_32BIT" != yes ]; then
  shims=$out/wine64-bin
  mkdir -p "$shims"
  for name in wine wine-stable wine64; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$shims/$name"
  done
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 wineboot.exe "$@"\n' > "$shims/wineboot"
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' > "$shims/wineserver"
  chmod +x "$shims"/*
  export PATH=$shims:$PATH
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
fi

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=zh_CN.UTF-8
# A display number no other run holds (runs may overlap on one machine).
display=${E2E_DISPLAY:-77}
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
sleep 1

# Template prefixes, made once per run; every scenario gets a fresh copy of
# one. The 64-bit prefix is the default (the 32-bit program runs there under
# WOW64, as on most machines). A scenario that says "# prefix: native" runs on
# a system of the program's own architecture: a 32-bit prefix for the 32-bit
# program, the 64-bit prefix for the 64-bit one.
make_template() {
  local prefix=$1 arch=$2
  [ ! -f "$prefix/system.reg" ] || return 0
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEARCH=$arch wineboot -i >>"$out/wineboot.log" 2>&1
  # There is no window manager on the virtual display: let Wine draw the
  # windows' own frames and captions, as Windows would.
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >>"$out/wineboot.log" 2>&1
  # Marlett draws the title-bar buttons; Debian's Wine does not look where
  # fonts-wine puts it.
  cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  WINEPREFIX=$prefix wineserver -w
}
export E2E_TEMPLATE64=$out/template64
export E2E_TEMPLATE32=$out/template32
make_template "$E2E_TEMPLATE64" win64
if [[ " ${programs[*]} " == *" 32 "* ]] && grep -qs '^# prefix: native' "$here"/scenarios/*.sh; then
  make_template "$E2E_TEMPLATE32" win32
fi

total_passed=0
total_failed=0
for bits in "${programs[@]}"; do
  if [ "$bits" = 32 ]; then dir=win32; else dir=win64; fi
  export E2E_ARCH=$bits
  export E2E_BIN=$build/$dir
  export E2E_OUT=$out/$dir
  rm -rf "$E2E_OUT/prefixes" "$E2E_OUT/logs"
  mkdir -p "$E2E_OUT/logs" "$E2E_OUT/screenshots" "$E2E_OUT/prefixes"
  [ -f "$E2E_BIN/lumatrek-setup.exe" ] || { echo "e2e: no program at $E2E_BIN (run scripts/build.sh)"; exit 1; }
  echo "== the $bits-bit program ($E2E_BIN/lumatrek-setup.exe)"
  passed=0
  failed=0
  for scenario in "$here"/scenarios/*.sh; do
    name=$(basename "$scenario" .sh)
    if [ -n "$filter" ] && [[ "$name" != *"$filter"* ]]; then continue; fi
    log="$E2E_OUT/logs/$name.log"
    # A separate shell, so that errexit holds inside the scenario.
    if E2E_SCENARIO_FILE=$scenario \
        bash -c 'set -euo pipefail; source "$1"; begin_scenario "$2"; source "$3"; end_scenario' \
        scenario "$here/lib.sh" "$name" "$scenario" >"$log" 2>&1; then
      passed=$((passed + 1))
      echo "PASS $name ($bits-bit)"
    else
      failed=$((failed + 1))
      echo "FAIL $name ($bits-bit) (log: $log)"
      sed 's/^/    /' "$log" | tail -n 25
    fi
    # A prefix is over a gigabyte: keep the logs, not the prefix (once the
    # programs the scenario started in it have ended).
    WINEPREFIX=$E2E_OUT/prefixes/$name timeout 60 wineserver -w 2>/dev/null || true
    rm -rf "$E2E_OUT/prefixes/$name"
  done
  echo "e2e ($bits-bit program; $LUMATREK_MACHINE): $passed passed, $failed failed"
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
done
echo "e2e: $total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
