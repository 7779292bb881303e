# Uninstall on a machine without anything of the product: one notice, no
# package deleted, the dialog stays open.
install_pnputil
add_printer_driver "Microsoft XPS Document Writer v4"
printf 'Microsoft PnP Utility\r\n\r\nPublished name :            oem0.inf\r\nDriver package provider :   Microsoft\r\nClass :                     Printers\r\n' \
  > "$PNPUTIL_DIR/listing.txt"
robot <<'SCRIPT'
launch @EXE@
click IDC_UNINSTALL
message 提示|驱动卸载完成
quiet 500
alive
key IDC_USB_PORT escape
exit 2
SCRIPT
log=$(pnputil_log)
echo "pnputil saw: $log"
[ "$log" = "-e" ] || fail "pnputil was asked: $log"
