# Ports USB002 and USB001 are listed sorted with USB001 selected; a port named
# with "usb" in lower case is not listed.
add_spooler_port USB002
add_spooler_port USB001
add_spooler_port usb009
robot <<'SCRIPT'
launch @EXE@
items IDC_USB_PORT USB001|USB002
selected IDC_USB_PORT USB001
text IDC_USB_PORT USB001
closebox
exit 2
SCRIPT
