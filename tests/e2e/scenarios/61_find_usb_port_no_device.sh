# USB ports whose printers are not present (one without a device link, one
# without any interface): no page is written, "测试端口写入失败" is shown
# and the selection stays.
add_spooler_port USB001
add_spooler_port USB002
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
robot <<'SCRIPT'
launch @EXE@
items IDC_USB_PORT USB001|USB002
choose IDC_USB_PORT 1
click IDC_FIND_USB_PORT
message 错误|测试端口写入失败
selected IDC_USB_PORT USB002
closebox
exit 2
SCRIPT
expect_no_working_folder
