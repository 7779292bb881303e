# The printer name and the enabled controls follow the model and the
# connection kind; a typed name lasts until the next such change.
robot <<'SCRIPT'
launch @EXE@
choose IDC_MODEL 1
text IDC_PRINTER_NAME lumatrek80-usb
enabled IDC_HOST 0
click IDC_NETWORK_RADIO
checked IDC_NETWORK_RADIO 1
checked IDC_USB_RADIO 0
text IDC_PRINTER_NAME lumatrek80-wifi
enabled IDC_HOST 1
enabled IDC_PORT 1
enabled IDC_CONNECT_TEST 1
enabled IDC_USB_PORT 0
enabled IDC_FIND_USB_PORT 0
choose IDC_MODEL 0
text IDC_PRINTER_NAME lumatrek58-wifi
enabled IDC_HOST 1
enabled IDC_USB_PORT 0
type IDC_PRINTER_NAME my own printer
click IDC_NETWORK_RADIO
text IDC_PRINTER_NAME lumatrek58-wifi
type IDC_PRINTER_NAME kept name
type IDC_HOST 127.0.0.9
choose IDC_MODEL 0
text IDC_PRINTER_NAME lumatrek58-wifi
text IDC_HOST 127.0.0.9
click IDC_USB_RADIO
checked IDC_USB_RADIO 1
text IDC_PRINTER_NAME lumatrek58-usb
enabled IDC_HOST 0
enabled IDC_PORT 0
enabled IDC_CONNECT_TEST 0
enabled IDC_USB_PORT 1
enabled IDC_FIND_USB_PORT 1
text IDC_HOST 127.0.0.9
closebox
exit 2
SCRIPT
