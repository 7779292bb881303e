# The printer's real-time status (DLE EOT 1, 2, 4) read back from the virtual
# printer over loopback TCP and from a USB device (a raw pseudo-terminal the
# dosdevices link points at): paper end and cover open are named, a printer
# that does not answer is "no answer" within its bound, and /test logs the
# same status after its page.
install_rundll32
rundll32_carries_out
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
usb_link="$WINEPREFIX/dosdevices/usb#vid_4b9e&pid_0001#ser001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"

unattended /install /host 127.0.0.1 /log 'C:\install-net.log'
expect_unattended 0 '提示: 打印机驱动设备已完成安装'
unattended /install /usb USB001 /log 'C:\install-usb.log'
expect_unattended 0 '提示: 打印机驱动设备已完成安装'

# Over TCP: paper end, then cover open; each /status is one connection of
# status requests only.
start_virtual_printer status-net --port 9100 --jobs 0 --status-sessions 1 --status paper-end
unattended /status /host 127.0.0.1
finish_virtual_printer
[ "$STATUS" -eq 0 ] || fail "/status ended with $STATUS"
grep -qx 'printer status: offline, paper end' <<<"$CONSOLE" || fail "no paper end over TCP"

start_virtual_printer status-net --port 9100 --jobs 0 --status-sessions 1 --status cover-open
unattended /status /host 127.0.0.1
finish_virtual_printer
grep -qx 'printer status: offline, cover open' <<<"$CONSOLE" || fail "no cover open over TCP"

# A printer that takes the connection and never answers: "no answer", after
# one bounded wait (2 s), and still exit code 0.
start_virtual_printer status-net --port 9100 --jobs 0 --status-sessions 1 --status no-answer
started=$(date +%s)
unattended /status /host 127.0.0.1
took=$(( $(date +%s) - started ))
finish_virtual_printer
[ "$STATUS" -eq 0 ] || fail "a silent printer made /status fail ($STATUS)"
grep -qx 'printer status: no answer' <<<"$CONSOLE" || fail "no 'no answer' over TCP"
[ "$took" -lt 15 ] || fail "/status took ${took}s for a silent printer"

# The test page over TCP, then its status in the log.
start_virtual_printer page-net --port 9100 --jobs 1 --status-sessions 1 --status near-end
unattended /test /host 127.0.0.1 /log 'C:\test-net.log'
expect_unattended 0 '提示: 测试数据已发送'
finish_virtual_printer
expect_test_page "$PRINTER_RAW" 127.0.0.1 14081
unattended_log test-net.log | grep -qx 'printer status: online, paper near end' || fail "no status in the /test log"

# Over USB: the device answers through the same handle the page goes to.
start_usb_printer() {
  start_virtual_printer "$1" --device "$usb_link" "${@:2}"
  local i
  for i in $(seq 100); do
    [ -L "$usb_link" ] && return 0
    sleep 0.1
  done
  fail "the USB device did not appear"
}
start_usb_printer status-usb --jobs 0 --status-sessions 1 --status paper-end
unattended /status /usb USB001
finish_virtual_printer
[ "$STATUS" -eq 0 ] || fail "/status /usb ended with $STATUS"
grep -qx 'printer status: offline, paper end' <<<"$CONSOLE" || fail "no paper end over USB"

start_usb_printer status-usb --jobs 0 --status-sessions 1 --status cover-open
unattended /status /usb USB001
finish_virtual_printer
grep -qx 'printer status: offline, cover open' <<<"$CONSOLE" || fail "no cover open over USB"

start_usb_printer status-usb --jobs 0 --status-sessions 1 --status no-answer
started=$(date +%s)
unattended /status /usb USB001
took=$(( $(date +%s) - started ))
finish_virtual_printer
[ "$STATUS" -eq 0 ] || fail "a silent USB printer made /status fail ($STATUS)"
grep -qx 'printer status: no answer' <<<"$CONSOLE" || fail "no 'no answer' over USB"
[ "$took" -lt 20 ] || fail "/status took ${took}s for a silent USB printer"

start_usb_printer page-usb --jobs 1 --status-sessions 1 --status cover-open
unattended /test /usb USB001 /log 'C:\test-usb.log'
expect_unattended 0 ''
finish_virtual_printer
expect_test_page "$PRINTER_RAW" USB001 14078
unattended_log test-usb.log | grep -qx 'printer status: offline, cover open' || fail "no status in the USB /test log"
