# A driver store listing whose "published name" would run a second command
# through a command interpreter: the name is not of the store's own form, so
# it is never put on a command line, the package stays and uninstall fails.
install_pnputil
add_printer_driver "Microsoft XPS Document Writer v4"
printf 'Published name :  x&pnputil.exe&calc.inf\r\nDriver package provider :  Lumatrek Pos Printer\r\n' \
  > "$PNPUTIL_DIR/listing.txt"
dialog_session 300 <<'SCRIPT'
click IDC_UNINSTALL
message 错误|驱动卸载失败，请重启计算机后重试！
SCRIPT
log=$(pnputil_log)
echo "pnputil saw:"; printf '%s\n' "$log"
[ "$log" = "-e" ] || fail "a command was run with the listed name"
