# prefix: native
# The whole life of a USB printer on a system of the program's own
# architecture (as in 80_lifecycle_network_58), 80 mm model, neither
# shared nor default: install it on USB001 (a printer of the vendor), print
# the test page with "Find USB Port", uninstall, and nothing of the product
# is left in the spooler or the driver folder.
install_rundll32
rundll32_carries_out
install_pnputil
pnputil_lists_product_package
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
add_usb_device 'USB#VID_4B9E&PID_0001#SER001' "$E2E_OUT/logs/$SCENARIO-usb001.bin"
robot <<'SCRIPT'
launch @EXE@
choose IDC_MODEL 1
text IDC_PRINTER_NAME lumatrek80-usb
selected IDC_USB_PORT USB001
click IDC_INSTALL
message 提示|打印机驱动设备已完成安装
click IDC_FIND_USB_PORT
quiet 2000
selected IDC_USB_PORT USB001
closebox
exit 2
SCRIPT
expect_test_page "$E2E_OUT/logs/$SCENARIO-usb001.bin" USB001 14078
echo "after install:"
state=$(spooler_state)
echo "$state"
grep -qx 'printer|lumatrek80-usb|lumatrek80|USB001|local' <<<"$state" || fail "the printer was not installed"
grep -qx 'driver|lumatrek80' <<<"$state" || fail "the driver was not installed"
! grep -qx 'default|lumatrek80-usb' <<<"$state" || fail "the printer became the default"
folder=$(driver_folder)
[ -f "$folder/lumatrek80.dll" ] || fail "the model files are not in $folder"

uninstall_leaves_nothing
expect_staging_cleared
