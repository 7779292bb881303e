# A driver store listing in the current layout (an original-name line between
# the published name and the provider) with two packages of the product among
# others: uninstall deletes exactly those two, by published name, in listing order.
install_pnputil
add_printer_driver "Microsoft XPS Document Writer v4"
{
  printf 'Microsoft PnP Utility\r\n\r\n'
  printf 'Published Name:     oem3.inf\r\nOriginal Name:      prnms009.inf\r\nProvider Name:      Microsoft\r\nClass Name:         Printers\r\n\r\n'
  printf 'Published Name:     oem5.inf\r\nOriginal Name:      lumatrek.inf\r\nProvider Name:      Lumatrek Pos Printer\r\nClass Name:         Printers\r\n\r\n'
  printf 'Published Name:     oem7.inf\r\nOriginal Name:      contoso.inf\r\nProvider Name:      Contoso\r\n\r\n'
  printf 'Published Name:     oem12.inf\r\nOriginal Name:      lumatrek80.inf\r\nProvider Name:      LUMATREK POS PRINTER\r\nClass Name:         Printers\r\n'
} > "$PNPUTIL_DIR/listing.txt"
dialog_session 300 <<'SCRIPT'
click IDC_UNINSTALL
message 提示|驱动卸载完成
SCRIPT
log=$(pnputil_log)
echo "pnputil saw:"; echo "$log"
[ "$log" = "$(printf -- '-e\n-f -d oem5.inf\n-f -d oem12.inf')" ] || fail "unexpected pnputil commands"
