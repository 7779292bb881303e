# A printer that already has the name proves nothing: installed on USB001,
# then asked for again on USB002 with a printer UI that does nothing, the
# install finds the name on another port and fails with 32.
install_rundll32
rundll32_carries_out
add_spooler_port USB001
add_spooler_port USB002
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER002' 2
unattended /install /usb USB001
expect_unattended 0 '提示: 打印机驱动设备已完成安装'
rm "$RUNDLL32_DIR/act.txt"
unattended /install /usb USB002 /log 'C:\e2e\again.log'
expect_unattended 32 '错误: 打印机与驱动安装失败'
unattended_log 'e2e\again.log' | grep -qx 'printer found: a printer of that name on another port' \
  || fail "the log does not say why"
grep -qx 'printer|lumatrek58-usb|lumatrek|USB001|local' <<<"$(spooler_state)" || fail "the first printer changed"
expect_staging_cleared
