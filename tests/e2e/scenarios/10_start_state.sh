# The dialog right after start: every control's state, the template's styles,
# and the USB port list filled from the spooler's ports.
add_spooler_port USB002
add_spooler_port USB001
add_spooler_port usb003
add_spooler_port MYUSBPORT
robot <<'SCRIPT'
launch @EXE@
# template styles (the side picture's frame has become a centred bitmap)
style 1000 50010000
style 1001 5000020E
style 1004 50010000
style 1005 50010000
style 1006 50010003
style 1007 50210103
style 1010 50810080
style 1008 50010003
style 1011 50810080
style 1012 50812080
style 1013 50000009
style 1014 50000009
style 1009 50010000
style 1002 50010000
style 1015 50210103
# the start state table, row by row
text 1010 lumatrek58-usb
enabled 1010 1
items 1015 Lumatrek58 Printer|Lumatrek80 Printer
selected 1015 Lumatrek58 Printer
enabled 1015 1
checked 1006 0
enabled 1006 1
checked 1008 0
enabled 1008 1
checked 1013 1
enabled 1013 1
checked 1014 0
enabled 1014 1
items 1007 MYUSBPORT|USB001|USB002
selected 1007 MYUSBPORT
enabled 1007 1
enabled 1004 1
text 1011 192.168.0.1
enabled 1011 0
text 1012 9100
enabled 1012 0
enabled 1009 0
enabled 1000 1
enabled 1002 1
enabled 1005 1
text 1000 Install
text 1004 Find USB Port
text 1009 Connect Test
focus 1000
quiet 500
snap @OUT@/start.bmp
click 1005
exit 1005
SCRIPT
keep_screenshot "$E2E_OUT/logs/start.bmp" dialog-start
