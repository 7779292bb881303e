# A USB port whose printer interface lacks the vendor's mark is refused with
# "打印机型号错误"; the printer UI is never started and the staged files go.
add_spooler_port USB001
add_spooler_port USB002
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
add_usb_printer_interface 'USB#VID_1234&PID_0002#OTHER' 2
install_rundll32
robot <<'SCRIPT'
launch @EXE@
choose IDC_USB_PORT 1
selected IDC_USB_PORT USB002
click IDC_INSTALL
message 错误|打印机型号错误
quiet 500
alive
key IDC_USB_PORT escape
exit 2
SCRIPT
[ -z "$(rundll32_log)" ] || fail "rundll32 was started: $(rundll32_log)"
expect_staging_cleared
