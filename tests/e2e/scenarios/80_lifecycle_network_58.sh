# prefix: native
# The whole life of a network printer on a system of the program's own
# architecture (32-bit Windows for the 32-bit program, 64-bit Windows with its
# x64 environment and driver folder for the 64-bit one), 58 mm model, shared
# and default: install it on 127.0.0.1, print the test page to the virtual
# printer, uninstall, and nothing of the product is left in the spooler or the
# driver folder (there is no redirection to switch off, and uninstalling must
# still succeed).
install_rundll32
rundll32_carries_out
install_pnputil
pnputil_lists_product_package
start_virtual_printer connect --port 9100
robot <<'SCRIPT'
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
click IDC_DEFAULT_PRINTER
click IDC_SHARE_PRINTER
checked IDC_DEFAULT_PRINTER 1
checked IDC_SHARE_PRINTER 1
click IDC_INSTALL
message 提示|打印机驱动设备已完成安装
click IDC_CONNECT_TEST
message 提示|测试数据已发送
closebox
exit 2
SCRIPT
finish_virtual_printer
expect_test_page "$PRINTER_RAW" 127.0.0.1 14081
echo "after install:"
state=$(spooler_state)
echo "$state"
grep -qx 'printer|lumatrek58-wifi|lumatrek|127.0.0.1|shared' <<<"$state" || fail "the printer was not installed"
grep -qx 'driver|lumatrek' <<<"$state" || fail "the driver was not installed"
grep -qx 'default|lumatrek58-wifi' <<<"$state" || fail "the printer is not the default"
folder=$(driver_folder)
ls "$folder"
[ -f "$folder/lumatrek.dll" ] && [ -f "$folder/lumatrek.gpd" ] || fail "the model files are not in $folder"

uninstall_leaves_nothing
expect_staging_cleared
