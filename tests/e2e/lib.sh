# Helpers for the end-to-end scenarios (sourced by run.sh inside the private
# namespace). Each scenario runs in a subshell with its own Wine prefix.

winpath() { printf 'Z:%s' "${1//\//\\}"; }

begin_scenario() {
  SCENARIO=$1
  export WINEPREFIX=$E2E_OUT/prefixes/$SCENARIO
  cp -a "$E2E_TEMPLATE" "$WINEPREFIX"
  EXE=$(winpath "$E2E_BIN/lumatrek-setup.exe")
  echo "== $SCENARIO"
}

end_scenario() {
  wineserver -w
  echo "== $SCENARIO passed"
}

fail() {
  echo "FAIL: $*"
  exit 1
}

# Adds a spooler port (a value under the spooler's Ports key).
add_spooler_port() {
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports' /v "$1" /t REG_SZ /d "" /f >/dev/null 2>&1
}

# Plays the robot script on standard input; "@EXE@" stands for the program
# and "@OUT@" for the log folder. A failed step fails the scenario.
robot() {
  local script=$E2E_OUT/logs/$SCENARIO.robot
  local result=$E2E_OUT/logs/$SCENARIO.robot.log
  local text
  text=$(cat)
  text=${text//@EXE@/$EXE}
  text=${text//@OUT@/$(winpath "$E2E_OUT/logs")}
  printf '%s\n' "$text" > "$script"
  rm -f "$result"
  local status=0
  wine "$E2E_BIN/robot.exe" "$(winpath "$script")" "$(winpath "$result")" >/dev/null 2>&1 || status=$?
  cat "$result" 2>/dev/null || echo "(the robot wrote no log)"
  [ "$status" -eq 0 ] || fail "robot steps failed (status $status)"
}

# Converts a robot snapshot (BMP) to PNG under build/e2e/screenshots.
keep_screenshot() {
  convert "$1" "$E2E_OUT/screenshots/$2.png" || fail "no screenshot $1"
}
