# Without any USB port the list starts empty and silent; a port created while
# the dialog is open is offered the next time the list opens, and each opening
# selects item 0 again, whatever was chosen before.
dialog_session 300 <<'SCRIPT'
items IDC_USB_PORT 
selected IDC_USB_PORT 
text IDC_USB_PORT 
quiet 500
run reg add "HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports" /v USB007 /t REG_SZ /d "" /f
run reg add "HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports" /v USB003 /t REG_SZ /d "" /f
open IDC_USB_PORT
close IDC_USB_PORT
items IDC_USB_PORT USB003|USB007
selected IDC_USB_PORT USB003
choose IDC_USB_PORT 1
selected IDC_USB_PORT USB007
open IDC_USB_PORT
close IDC_USB_PORT
selected IDC_USB_PORT USB003
SCRIPT
