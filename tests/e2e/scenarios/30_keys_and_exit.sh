# Enter does nothing, in an edit box or elsewhere; Escape ends the program
# with exit code 2.
robot <<'SCRIPT'
launch @EXE@
key 1010 return
key 1000 return
alive
quiet 300
text 1010 lumatrek58-usb
key 1010 escape
exit 2
SCRIPT
