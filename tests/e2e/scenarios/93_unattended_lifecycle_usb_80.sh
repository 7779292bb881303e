# The whole life of a USB printer, unattended: install the 80 mm model on
# USB001, uninstall with a log, and nothing of the product is left.
install_rundll32
rundll32_carries_out
install_pnputil
pnputil_lists_product_package
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
unattended /install /usb USB001 /model 80
expect_unattended 0 '提示: 打印机驱动设备已完成安装'
state=$(spooler_state)
echo "$state"
grep -qx 'printer|lumatrek80-usb|lumatrek80|USB001|local' <<<"$state" || fail "the printer was not installed"
! grep -qx 'default|lumatrek80-usb' <<<"$state" || fail "the printer became the default"

unattended /uninstall /log 'C:\e2e\uninstall.log'
expect_unattended 0 '提示: 驱动卸载完成'
expect_product_removed
signer_certificate
log=$(unattended_log 'e2e\uninstall.log')
printf '%s\n' "$log"
want='command: /uninstall /log C:\e2e\uninstall.log
WOW64 redirection off: ok
printers and driver removed: lumatrek: ok
printers and driver removed: lumatrek80: ok
driver packages removed: ok
driver files deleted: ok
'"$(signer_lines 'added certificate removed' 'deleted')"'
record of added certificates deleted: ok
提示: 驱动卸载完成
exit code: 0'
[ "$log" = "$want" ] || fail "the log differs"
