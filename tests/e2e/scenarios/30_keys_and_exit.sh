# Enter does nothing, in an edit box or elsewhere; Escape ends the program
# with exit code 2.
robot <<'SCRIPT'
launch @EXE@
key IDC_PRINTER_NAME return
key IDC_INSTALL return
alive
quiet 300
text IDC_PRINTER_NAME lumatrek58-usb
key IDC_PRINTER_NAME escape
exit 2
SCRIPT
