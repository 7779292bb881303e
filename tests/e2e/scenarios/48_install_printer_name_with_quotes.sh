# A printer name with quote marks would end the quoted "/b" argument and add
# switches of its own: it is refused before the printer UI is started.
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32
dialog_session 500 <<'SCRIPT'
type IDC_PRINTER_NAME a" /q /x "
click IDC_INSTALL
message 错误|打印机名称错误
SCRIPT
[ -z "$(rundll32_log)" ] || fail "rundll32 was started: $(rundll32_log)"
expect_staging_cleared
