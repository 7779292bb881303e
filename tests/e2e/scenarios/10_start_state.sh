# The dialog right after start: the template as compiled into the program, its
# place, icons and side picture, every control's state, and the USB port list
# filled from the spooler's ports.

# The dialog template, read back from the .exe: language Chinese (PRC), the
# window style, title, font and all 22 controls in template (tab) order.
"$(program_windres)" -i "$E2E_BIN/lumatrek-setup.exe" -O rc -o "$E2E_OUT/logs/decompiled.rc"
python3 - "$E2E_OUT/logs/decompiled.rc" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="latin-1").read()
m = re.search(r"((?:LANGUAGE [^\n]*\n)?(?:[^\n]*\n){0,6}?)129 DIALOGEX .*?\nEND\n", text, re.S)
assert m, "no dialog 129 in the program"
block = m.group(0)
lang = re.findall(r"LANGUAGE (\d+), (\d+)", text[:m.start() + len(m.group(1))])
assert lang and lang[-1] == ("4", "2"), "dialog language is not Chinese (PRC): %r" % (lang[-1:],)
expected = r"""129 DIALOGEX 0, 0, 335, 286
STYLE 0xca0048
CAPTION "Lumatrek Driver Setup(V1.00)"
FONT 8, "MS Shell Dlg", 0, 0, 0
BEGIN
  CONTROL "Install", 1000, "BUTTON", 0x50010000, 155, 261, 50, 14
  CONTROL "", 1001, "STATIC", 0x50000007, 0, 0, 136, 286
  CONTROL "Find USB Port", 1004, "BUTTON", 0x50010000, 275, 135, 50, 14
  CONTROL "Quit", 1005, "BUTTON", 0x50010000, 275, 261, 50, 14
  CONTROL "Default Printer", 1006, "BUTTON", 0x50010003, 149, 57, 80, 10
  CONTROL "", 1007, "COMBOBOX", 0x50210103, 193, 117, 131, 30
  CONTROL "USB Port:", -1, "STATIC", 0x50020001, 149, 119, 42, 8
  CONTROL "", 1010, "EDIT", 0x50810080, 193, 18, 131, 12
  CONTROL "Printer Name:", -1, "STATIC", 0x50020001, 139, 20, 52, 8
  CONTROL "Share Printer", 1008, "BUTTON", 0x50010003, 244, 57, 80, 10
  CONTROL "USB Printer", -1, "BUTTON", 0x50000007, 145, 101, 184, 55
  CONTROL "Network Printer", -1, "BUTTON", 0x50000007, 145, 164, 184, 68
  CONTROL "", 1011, "EDIT", 0x50810080, 193, 178, 131, 12
  CONTROL L"IP/Domain\xff1a", -1, "STATIC", 0x50020001, 149, 181, 44, 8
  CONTROL "", 1012, "EDIT", 0x50812080, 193, 195, 131, 12
  CONTROL L"Port\xff1a", -1, "STATIC", 0x50020001, 148, 198, 42, 8
  CONTROL "USB Printer", 1013, "BUTTON", 0x50000009, 149, 78, 53, 10
  CONTROL "Network Printer", 1014, "BUTTON", 0x50000009, 219, 78, 66, 10
  CONTROL "Connect Test", 1009, "BUTTON", 0x50010000, 275, 212, 50, 14
  CONTROL "Uninstall", 1002, "BUTTON", 0x50010000, 215, 261, 50, 14
  CONTROL "Mode:", -1, "STATIC", 0x50020001, 165, 38, 26, 8
  CONTROL "", 1015, "COMBOBOX", 0x50210103, 193, 36, 131, 30
END
"""
got = block[block.index("129 DIALOGEX"):]
assert got == expected, "dialog template differs:\n" + got
print("dialog template: as designed")
PY
add_spooler_port USB002
add_spooler_port USB001
add_spooler_port usb003
add_spooler_port MYUSBPORT
robot <<'SCRIPT'
launch @EXE@
# the program starts with no owner window: centred on the work area
centred
# its large and small icons, and the side picture in its control
icons
picture IDC_SIDE_PICTURE
# the side picture's black frame has become a centred bitmap; buttons keep
# their template styles (edits, lists and radio buttons adjust theirs at run time)
style IDC_SIDE_PICTURE (STYLE_SIDE_FRAME & ~SS_CENTER) | SS_BITMAP | SS_CENTERIMAGE
style IDC_INSTALL STYLE_PUSH_BUTTON
style IDC_FIND_USB_PORT STYLE_PUSH_BUTTON
style IDC_QUIT STYLE_PUSH_BUTTON
style IDC_UNINSTALL STYLE_PUSH_BUTTON
style IDC_DEFAULT_PRINTER STYLE_CHECK_BOX
style IDC_SHARE_PRINTER STYLE_CHECK_BOX
# the start state table, row by row
text IDC_PRINTER_NAME lumatrek58-usb
enabled IDC_PRINTER_NAME 1
items IDC_MODEL Lumatrek58 Printer|Lumatrek80 Printer
selected IDC_MODEL Lumatrek58 Printer
enabled IDC_MODEL 1
checked IDC_DEFAULT_PRINTER 0
enabled IDC_DEFAULT_PRINTER 1
checked IDC_SHARE_PRINTER 0
enabled IDC_SHARE_PRINTER 1
checked IDC_USB_RADIO 1
enabled IDC_USB_RADIO 1
checked IDC_NETWORK_RADIO 0
enabled IDC_NETWORK_RADIO 1
items IDC_USB_PORT MYUSBPORT|USB001|USB002
selected IDC_USB_PORT MYUSBPORT
enabled IDC_USB_PORT 1
enabled IDC_FIND_USB_PORT 1
text IDC_HOST 192.168.0.1
enabled IDC_HOST 0
text IDC_PORT 9100
enabled IDC_PORT 0
enabled IDC_CONNECT_TEST 0
enabled IDC_INSTALL 1
enabled IDC_UNINSTALL 1
enabled IDC_QUIT 1
text IDC_INSTALL Install
text IDC_FIND_USB_PORT Find USB Port
text IDC_CONNECT_TEST Connect Test
focus IDC_INSTALL
quiet 500
snap @OUT@/start.bmp
click IDC_QUIT
exit IDC_QUIT
SCRIPT
keep_screenshot "$E2E_OUT/logs/start.bmp" dialog-start
