#!/usr/bin/env bash
# End-to-end suite: runs the real lumatrek-setup.exe under Wine and Xvfb,
# driven by robot.exe, inside a private network namespace where only loopback
# exists and /etc/hosts is our own. Usage: run.sh [NAME-FILTER]
# Needs a finished scripts/build.sh. Writes logs and screenshots to build/e2e.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ -z "${LUMATREK_E2E_INSIDE:-}" ]; then
  # Nothing in here can reach any address but loopback.
  flags=(--net --mount --fork)
  [ "$(id -u)" -eq 0 ] || flags+=(--map-root-user)
  exec unshare "${flags[@]}" env LUMATREK_E2E_INSIDE=1 bash "$0" "$@"
fi

filter=${1:-}
build=${BUILD_DIR:-$root/build}
export E2E_OUT=${E2E_OUT:-$build/e2e}
export E2E_BIN=$build/win32
export E2E_ROOT=$root
rm -rf "$E2E_OUT/prefixes" "$E2E_OUT/logs"
mkdir -p "$E2E_OUT/logs" "$E2E_OUT/screenshots" "$E2E_OUT/prefixes"

ip link set lo up
cat > "$E2E_OUT/hosts" <<'HOSTS'
127.0.0.1 localhost
127.0.0.2 printer.local
127.0.0.3 second-printer.local
HOSTS
mount --bind "$E2E_OUT/hosts" /etc/hosts

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=zh_CN.UTF-8
# A display number no other run holds (runs may overlap on one machine).
display=${E2E_DISPLAY:-77}
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$E2E_OUT/logs/xvfb.log" 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
sleep 1

# Template prefixes, made once per run; every scenario gets a fresh copy of
# one. The 64-bit prefix (a 32-bit program under WOW64, as on most machines)
# is the default; a scenario that says "# prefix: win32" gets a 32-bit one.
make_template() {
  local prefix=$1 arch=$2
  [ ! -f "$prefix/system.reg" ] || return 0
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEARCH=$arch wineboot -i >>"$E2E_OUT/logs/wineboot.log" 2>&1
  # There is no window manager on the virtual display: let Wine draw the
  # windows' own frames and captions, as Windows would.
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >>"$E2E_OUT/logs/wineboot.log" 2>&1
  WINEPREFIX=$prefix wineserver -w
}
export E2E_TEMPLATE=$E2E_OUT/template
export E2E_TEMPLATE32=$E2E_OUT/template32
make_template "$E2E_TEMPLATE" win64
if grep -qs '^# prefix: win32' "$here"/scenarios/*.sh; then make_template "$E2E_TEMPLATE32" win32; fi

passed=0
failed=0
failed_names=()
for scenario in "$here"/scenarios/*.sh; do
  name=$(basename "$scenario" .sh)
  if [ -n "$filter" ] && [[ "$name" != *"$filter"* ]]; then continue; fi
  log="$E2E_OUT/logs/$name.log"
  # A separate shell, so that errexit holds inside the scenario.
  if E2E_SCENARIO_FILE=$scenario \
      bash -c 'set -euo pipefail; source "$1"; begin_scenario "$2"; source "$3"; end_scenario' \
      scenario "$here/lib.sh" "$name" "$scenario" >"$log" 2>&1; then
    passed=$((passed + 1))
    echo "PASS $name"
  else
    failed=$((failed + 1))
    failed_names+=("$name")
    echo "FAIL $name (log: $log)"
    sed 's/^/    /' "$log" | tail -n 25
  fi
  # A prefix is over a gigabyte: keep the logs, not the prefix (once the
  # programs the scenario started in it have ended).
  WINEPREFIX=$E2E_OUT/prefixes/$name timeout 60 wineserver -w 2>/dev/null || true
  rm -rf "$E2E_OUT/prefixes/$name"
done
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
