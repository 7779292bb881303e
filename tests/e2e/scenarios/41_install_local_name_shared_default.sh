# The 80 mm model on printer.local, shared and made the default printer: the
# port entry is named printer.local with an empty IP address, the printer is
# installed on that port with " /Z", then made the default printer (the
# stand-in carries both out; the program checks the spooler for each).
install_rundll32
rundll32_carries_out
dialog_session 500 <<'SCRIPT'
choose IDC_MODEL 1
click IDC_NETWORK_RADIO
text IDC_PRINTER_NAME lumatrek80-wifi
type IDC_HOST printer.local
type IDC_PORT 9101
click IDC_SHARE_PRINTER
checked IDC_SHARE_PRINTER 1
click IDC_DEFAULT_PRINTER
checked IDC_DEFAULT_PRINTER 1
click IDC_INSTALL
message 提示|打印机驱动设备已完成安装
SCRIPT
tcpip_port_values printer.local
expect_tcpip_port_value printer.local HostName REG_SZ printer.local
expect_tcpip_port_value printer.local IPAddress REG_SZ ""
expect_tcpip_port_value printer.local PortNumber REG_DWORD 0x238d
values=$(tcpip_port_values printer.local | grep -c ' REG_' || true)
[ "$values" -eq 9 ] || fail "the port entry holds $values values"

echo "rundll32 saw:"
rundll32_log
w=$(working_folder_windows)
want=$(printf '%s\n%s' \
  "rundll32 printui.dll,PrintUIEntry /if /f \"$w\\lumatrek.<random>\\install\\\\lumatrek80.inf\" /r \"printer.local\" /m \"lumatrek80\" /b \"lumatrek80-wifi\" /Z" \
  'rundll32 printui.dll,PrintUIEntry /n "lumatrek80-wifi" /y')
[ "$(rundll32_commands)" = "$want" ] || fail "the command lines were not: $want"
for folder in $(rundll32_log | cut -d'|' -f1); do
  [ "${folder%\\}" = "$w\\lumatrek.<random>\\install" ] || fail "rundll32 ran in $folder"
done
cmp "$(native_build)/generated/package/lumatrek80.inf" "$RUNDLL32_DIR/given.inf" || fail "the /f file is not lumatrek80.inf"
expect_staging_cleared
state=$(spooler_state)
echo "$state"
grep -qx 'default|lumatrek80-wifi' <<<"$state" || fail "the printer is not the default"
