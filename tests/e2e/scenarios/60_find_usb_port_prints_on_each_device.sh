# Two USB printers behind USB001 and USB002: each device gets its own page
# headed by its port name, USB001 ends up selected, and no message is shown.
add_spooler_port USB002
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER002' 2
add_usb_device 'USB#VID_4B9E&PID_0001#SER001' "$E2E_OUT/logs/$SCENARIO-usb001.bin"
add_usb_device 'USB#VID_4B9E&PID_0001#SER002' "$E2E_OUT/logs/$SCENARIO-usb002.bin"
robot <<'SCRIPT'
launch @EXE@
items IDC_USB_PORT USB001|USB002
choose IDC_USB_PORT 1
selected IDC_USB_PORT USB002
click IDC_FIND_USB_PORT
quiet 3000
selected IDC_USB_PORT USB001
alive
closebox
exit 2
SCRIPT
expect_test_page "$E2E_OUT/logs/$SCENARIO-usb001.bin" USB001 14078
expect_test_page "$E2E_OUT/logs/$SCENARIO-usb002.bin" USB002 14078
render_page "$E2E_OUT/logs/$SCENARIO-usb001.bin" "$SCENARIO-usb001"
expect_no_working_folder
