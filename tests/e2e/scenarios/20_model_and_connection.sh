# The printer name and the enabled controls follow the model and the
# connection kind; a typed name lasts until the next such change.
robot <<'SCRIPT'
launch @EXE@
choose 1015 1
text 1010 lumatrek80-usb
enabled 1011 0
click 1014
checked 1014 1
checked 1013 0
text 1010 lumatrek80-wifi
enabled 1011 1
enabled 1012 1
enabled 1009 1
enabled 1007 0
enabled 1004 0
choose 1015 0
text 1010 lumatrek58-wifi
enabled 1011 1
enabled 1007 0
type 1010 my own printer
click 1014
text 1010 lumatrek58-wifi
type 1010 kept name
type 1011 127.0.0.9
choose 1015 0
text 1010 lumatrek58-wifi
text 1011 127.0.0.9
click 1013
checked 1013 1
text 1010 lumatrek58-usb
enabled 1011 0
enabled 1012 0
enabled 1009 0
enabled 1007 1
enabled 1004 1
text 1011 127.0.0.9
closebox
exit 2
SCRIPT
