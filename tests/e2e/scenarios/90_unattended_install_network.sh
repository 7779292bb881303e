# Unattended install of a network printer at 127.0.0.1, shared and default,
# with a log: exit code 0 and the success message on the console, the port
# entry, the printer UI's two command lines (quiet) in the unpacked payload, the
# printer in the spooler, one log line per step, and only the empty staging
# folder left.
install_rundll32
rundll32_carries_out
unattended /install /host 127.0.0.1 /share /default /log 'C:\e2e\setup.log'
expect_unattended 0 '提示: 打印机驱动设备已完成安装'

expect_tcpip_port_value 127.0.0.1 HostName REG_SZ 127.0.0.1
expect_tcpip_port_value 127.0.0.1 IPAddress REG_SZ 127.0.0.1
expect_tcpip_port_value 127.0.0.1 PortNumber REG_DWORD 0x238c
rundll32_log
w=$(working_folder_windows)
want="rundll32 printui.dll,PrintUIEntry /if /f \"$w\\lumatrek.<random>\\install\\\\lumatrek.inf\" /r \"127.0.0.1\" /m \"lumatrek\" /b \"lumatrek58-wifi\" /Z /q
rundll32 printui.dll,PrintUIEntry /n \"lumatrek58-wifi\" /y /q"
[ "$(rundll32_commands)" = "$want" ] || fail "the command lines were not: $want"
expect_payload_seen
state=$(spooler_state)
echo "$state"
grep -qx 'printer|lumatrek58-wifi|lumatrek|127.0.0.1|shared' <<<"$state" || fail "the printer was not installed"
grep -qx 'default|lumatrek58-wifi' <<<"$state" || fail "the printer is not the default"

signer_certificate
log=$(unattended_log 'e2e\setup.log')
printf '%s\n' "$log"
want='command: /install /host 127.0.0.1 /share /default /log C:\e2e\setup.log
staged: C:\ProgramData\Tovlan\lumatrek.<random>\install\
checked: network printer at 127.0.0.1 port 9100
port registered: 127.0.0.1
'"$(signer_lines 'publisher trusted' 'added and recorded')"'
printer UI run: exit status 0
printer found: ok
default set: exit status 0
default confirmed: ok
提示: 打印机驱动设备已完成安装
cleaned up: ok
exit code: 0'
[ "$log" = "$want" ] || fail "the log differs"
expect_staging_cleared
