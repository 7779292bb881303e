# Only an option first starts the unattended mode: a file dropped on the
# program and the tail of a path started without quotes open the dialog as a
# start without arguments does; /? prints the usage and ends with 0.
for arguments in 'C:\users\Public\receipt.txt /install' 'Files\Tovlan\lumatrek-setup.exe'; do
  robot <<SCRIPT
launch @EXE@ | $arguments
text IDC_PRINTER_NAME lumatrek58-usb
key IDC_USB_PORT escape
exit 2
SCRIPT
done
unattended /?
[ "$STATUS" -eq 0 ] || fail "exit code $STATUS for /?"
[ "$(head -n 1 <<<"$CONSOLE")" = 'Usage:' ] || fail "no usage text"
