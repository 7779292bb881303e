# A USB port whose printer interface lacks the vendor's mark is refused with
# "打印机型号错误"; the printer UI is never started and the staged files go.
add_spooler_port USB001
add_spooler_port USB002
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
add_usb_printer_interface 'USB#VID_1234&PID_0002#OTHER' 2
install_rundll32
robot <<'SCRIPT'
launch @EXE@
choose 1007 1
selected 1007 USB002
click 1000
message 错误|打印机型号错误
quiet 500
alive
key 1007 escape
exit 2
SCRIPT
[ -z "$(rundll32_log)" ] || fail "rundll32 was started: $(rundll32_log)"
expect_staging_cleared
