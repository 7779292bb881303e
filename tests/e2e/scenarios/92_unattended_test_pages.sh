# Unattended test pages: to the virtual printer on loopback (exit code 0 and
# the message), to the USB printer named (exit code 0, silent, as "Find USB
# Port" is), and to a port nobody listens on or a USB port without a printer
# (exit code 45 and the write failure).
start_virtual_printer connect --port 9100
unattended /test /host 127.0.0.1 /log 'C:\test.log'
expect_unattended 0 '提示: 测试数据已发送'
finish_virtual_printer
expect_test_page "$PRINTER_RAW" 127.0.0.1 14081
unattended_log test.log
unattended_log test.log | grep -qx 'checked: 127.0.0.1 port 9100' || fail "no check in the log"

add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
add_usb_device 'USB#VID_4B9E&PID_0001#SER001' "$E2E_OUT/logs/$SCENARIO-usb001.bin"
unattended /test /usb USB001 /log 'C:\usb.log'
expect_unattended 0 ''
# After the page the printer is asked for its status: the file standing in
# for the device gets the request at its end and, read back, gives the page's
# first byte, which is no status answer.
sink=$E2E_OUT/logs/$SCENARIO-usb001.bin
[ "$(tail -c 3 "$sink" | od -An -tx1 | tr -d ' \n')" = 100401 ] || fail "no status request after the page"
head -c -3 "$sink" > "$sink.page"
expect_test_page "$sink.page" USB001 14078
unattended_log usb.log | grep -qx 'page written: USB001: ok' || fail "no page in the log"
unattended_log usb.log | grep -qx 'printer status: no status answer (0x1B to DLE EOT 1)' || fail "no status in the log"

# The transport's own diagnostic, the socket error by code and name, is a
# line of its own before the message, on the console and in the log.
unattended /test /host 127.0.0.1 /port 9101 /log 'C:\refused.log'
expect_unattended 45 $'连接失败:10061 (WSAECONNREFUSED)\n错误: 测试端口写入失败'
unattended_log refused.log | grep -A1 -x '连接失败:10061 (WSAECONNREFUSED)' | tail -n 1 | grep -qx '错误: 测试端口写入失败' \
  || fail "the log does not hold the socket error before the message"
unattended /test /usb USB003
expect_unattended 45 '错误: 测试端口写入失败'
expect_no_working_folder

# A file where the product folder belongs: the page is staged in the Windows
# folder's Tovlan instead, the file is not touched, and nothing is left.
rm -r "$(product_folder)"
printf 'x' > "$(product_folder)"
unattended /test /usb USB001 /log 'C:\temp.log'
expect_unattended 0 ''
unattended_log temp.log | grep -qxF 'staged: C:\windows\Tovlan\lumatrek.<random>\sample.bmp' \
  || fail "the page was not staged in the Windows folder's Tovlan"
[ "$(cat "$(product_folder)")" = x ] || fail "the file in the product folder's place was touched"
left=$(find "$(windows_product_folder)" -maxdepth 1 -name 'lumatrek.*')
[ -z "$left" ] || fail "a working folder was left: $left"
