# What a deployment tool relies on: /status as the detection rule (0 once
# installed, the documented code for each kind of breakage), help and the
# silent switches, a relative /log refused, 3010 where a restart is the
# remedy, a default log for runs without /log, and a failed install that
# leaves no certificate it added.
install_rundll32
install_pnputil
unpack_install_zip
signer_certificate
add_spooler_port USB001
add_spooler_port USB002
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1

for help in -h --help; do
  unattended "$help"
  [ "$STATUS" -eq 0 ] || fail "$help ended with $STATUS"
  grep -q '/status (/usb PORT | /host ADDRESS' <<<"$CONSOLE" || fail "$help printed no usage with /status"
done
unattended /uninstall /log 'relative.log'
[ "$STATUS" -eq 10 ] || fail "a relative /log ended with $STATUS, not 10"
[ ! -e "$WINEPREFIX/drive_c/windows/system32/relative.log" ] || fail "a relative log was written"

trusted() {  # whether the machine's TrustedPublisher store holds the signer
  wine reg query "HKLM\\Software\\Microsoft\\SystemCertificates\\TrustedPublisher\\Certificates\\$SIGNER_THUMB" \
    >/dev/null 2>&1
}
status_code() {  # /status ARGS ends with CODE
  local code=$1
  shift
  unattended /status "$@" /quiet
  [ "$STATUS" -eq "$code" ] || fail "/status $* ended with $STATUS where $code was expected"
}

# Nothing installed yet: the driver is missing.
status_code 81 /host 127.0.0.1
grep -qx 'driver lumatrek: not installed' <<<"$CONSOLE" || fail "no driver line"

# A failed installation takes back the trust it added.
! trusted || fail "the signer is trusted before any installation"
printf '/if 1\n' > "$RUNDLL32_DIR/answers.txt"
unattended /install /host 127.0.0.1 /silent /log 'C:\failed.log'
expect_unattended 32 '错误: 打印机与驱动安装失败'
unattended_log failed.log | grep 'certificate'
! trusted || fail "the failed installation left the signer trusted"
! wine reg query 'HKLM\SOFTWARE\Tovlan\lumatrek' /v AddedCertificates /reg:64 >/dev/null 2>&1 \
  || fail "the failed installation left its record"
unattended_log failed.log | grep -qF "$(signer_lines 'added certificate taken back' 'deleted' | head -1)" \
  || fail "the log does not say the trust was taken back"

# Installed: every check holds.
: > "$RUNDLL32_DIR/answers.txt"
rundll32_carries_out
unattended /install /host 127.0.0.1
expect_unattended 0 '提示: 打印机驱动设备已完成安装'
trusted || fail "the installation did not trust the signer"
status_code 0 /host 127.0.0.1
unattended /install /usb USB001
expect_unattended 0 '提示: 打印机驱动设备已完成安装'
status_code 0 /usb USB001

# Each breakage, and the code of the first check that fails.
status_code 81 /host 127.0.0.1 /model 80
status_code 82 /host 127.0.0.1 /name nobody
status_code 84 /usb USB002 /name lumatrek58-usb
port_key='HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports\127.0.0.1'
wine reg add "$port_key" /v PortNumber /t REG_DWORD /d 9101 /f >/dev/null 2>&1 || fail "cannot change the port entry"
status_code 85 /host 127.0.0.1
wine reg add "$port_key" /v PortNumber /t REG_DWORD /d 9100 /f >/dev/null 2>&1
status_code 0 /host 127.0.0.1
wine reg delete "HKLM\\Software\\Microsoft\\SystemCertificates\\TrustedPublisher\\Certificates\\$SIGNER_THUMB" /f \
  >/dev/null 2>&1 || fail "cannot take the signer out of TrustedPublisher"
status_code 86 /host 127.0.0.1
grep -q "^signer .*: not in LocalMachine\\\\TrustedPublisher" <<<"$CONSOLE" || fail "no line for the signer"

# An uninstall step that fails asks for a restart: 3010.
pnputil_lists_product_package
printf 'oem7.inf 1\n' > "$PNPUTIL_DIR/exitcodes.txt"
unattended /uninstall
# A Unix parent sees only the low byte of an exit code (3010 & 255 = 194);
# the robot reads the whole code as a Windows parent does.
expect_unattended 194 '错误: 驱动卸载失败，请重启计算机后重试！'
script=$E2E_OUT/logs/$SCENARIO-exit.robot
printf 'run %s /uninstall\n' "$EXE" > "$script"
wine "$E2E_BIN/robot.exe" "$(winpath "$script")" "$(winpath "$script.log")" >/dev/null 2>&1 || true
cat "$script.log"
grep -q 'it exited with 3010$' "$script.log" || fail "the uninstall's failure is not exit code 3010"

# Every run without /log went to the default log, one after the other.
# (Wine's prefix has the Windows folder's "Logs" as "logs"; names are not case-sensitive.)
log=$(find "$WINEPREFIX/drive_c/windows" -maxdepth 3 -ipath '*/windows/logs/tovlan/lumatrek-setup.log' | head -1)
[ -n "$log" ] && [ -f "$log" ] || fail "no default log"
echo "default log: $log"
[ "$(head -c 3 "$log" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "the default log has no UTF-8 mark"
[ "$(grep -c $'\xEF\xBB\xBF' "$log")" -eq 1 ] || fail "more than one byte order mark"
text=$(tail -c +4 "$log" | tr -d '\r')
grep -qx 'command: /status /host 127.0.0.1 /model 80 /quiet' <<<"$text" || fail "a /status run is not in the default log"
grep -qx 'exit code: 3010' <<<"$text" || fail "the uninstall is not in the default log"
! grep -q 'command: /install /host 127.0.0.1 /silent /log' <<<"$text" || fail "a run with /log went to the default log"
[ "$(grep -c '^command: ' <<<"$text")" -eq "$(grep -c '^exit code: ' <<<"$text")" ] || fail "a run's end is missing"
