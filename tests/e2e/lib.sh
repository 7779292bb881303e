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

# Puts our pnputil stand-in into the prefix (system32 and syswow64) with its
# script folder C:\e2e\pnputil: write listing.txt (printed for "-e") and
# exitcodes.txt ("NAME CODE" lines) there; every command line is logged to
# log.txt (read it with pnputil_log).
install_pnputil() {
  local windows=$WINEPREFIX/drive_c/windows
  cp "$E2E_BIN/pnputil.exe" "$windows/system32/pnputil.exe"
  [ ! -d "$windows/syswow64" ] || cp "$E2E_BIN/pnputil.exe" "$windows/syswow64/pnputil.exe"
  PNPUTIL_DIR=$WINEPREFIX/drive_c/e2e/pnputil
  mkdir -p "$PNPUTIL_DIR"
  : > "$PNPUTIL_DIR/log.txt"
}

pnputil_log() { cat "$PNPUTIL_DIR/log.txt"; }

# The native spooler driver folder of the prefix (x64 in a 64-bit prefix).
driver_folder() {
  if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    printf '%s' "$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3"
  else
    printf '%s' "$WINEPREFIX/drive_c/windows/system32/spool/drivers/w32x86/3"
  fi
}

# Registers a printer driver the way the spooler keeps it (a key under the
# environment's Version-3 drivers), so that EnumPrinterDriversA lists it; as
# on Windows, which always lists its inbox drivers. ENV defaults to
# "Windows NT x86", the environment that a 32-bit program's null environment
# stands for under Wine.
add_printer_driver() {
  local name=$1 env=${2:-Windows NT x86}
  local key="HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\$env\\Drivers\\Version-3\\$name"
  wine reg add "$key" /v Version /t REG_DWORD /d 3 /f >/dev/null 2>&1
  wine reg add "$key" /v Driver /t REG_SZ /d unidrv.dll /f >/dev/null 2>&1
  wine reg add "$key" /v "Data File" /t REG_SZ /d "$name.gpd" /f >/dev/null 2>&1
  wine reg add "$key" /v "Configuration File" /t REG_SZ /d unidrvui.dll /f >/dev/null 2>&1
}

# Whether the spooler's registry still holds driver NAME (ENV as above).
has_printer_driver() {
  local name=$1 env=${2:-Windows NT x86}
  wine reg query "HKLM\\System\\CurrentControlSet\\Control\\Print\\Environments\\$env\\Drivers\\Version-3\\$name" \
    >/dev/null 2>&1
}
