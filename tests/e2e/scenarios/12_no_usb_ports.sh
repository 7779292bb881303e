# Without any USB port the list starts empty and silent; a port created while
# the dialog is open is offered the next time the list opens, and each opening
# selects item 0 again, whatever was chosen before.
robot <<'SCRIPT'
launch @EXE@
items 1007 
selected 1007 
text 1007 
quiet 500
run reg add "HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports" /v USB007 /t REG_SZ /d "" /f
run reg add "HKLM\Software\Microsoft\Windows NT\CurrentVersion\Ports" /v USB003 /t REG_SZ /d "" /f
open 1007
close 1007
items 1007 USB003|USB007
selected 1007 USB003
choose 1007 1
selected 1007 USB007
open 1007
close 1007
selected 1007 USB003
quiet 300
key 1007 escape
exit 2
SCRIPT
