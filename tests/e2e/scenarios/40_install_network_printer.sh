# A network printer at 127.0.0.1: the Standard TCP/IP port entry gets its
# nine values, the printer UI is started once with the exact command line in
# the unpacked payload folder, which holds the package byte for byte, and
# afterwards only the empty staging folder is left. The stand-in carries the
# installation out, as the program checks the spooler for the printer.
install_rundll32
rundll32_carries_out
robot <<'SCRIPT'
launch @EXE@
click IDC_NETWORK_RADIO
type IDC_HOST 127.0.0.1
text IDC_PORT 9100
text IDC_PRINTER_NAME lumatrek58-wifi
click IDC_INSTALL
message 提示|打印机驱动设备已完成安装
quiet 500
alive
key IDC_USB_PORT escape
exit 2
SCRIPT
echo "port entry:"
tcpip_port_values 127.0.0.1
expect_tcpip_port_value 127.0.0.1 HostName REG_SZ 127.0.0.1
expect_tcpip_port_value 127.0.0.1 IPAddress REG_SZ 127.0.0.1
expect_tcpip_port_value 127.0.0.1 HWAddress REG_SZ ""
expect_tcpip_port_value 127.0.0.1 "SNMP Community" REG_SZ cmtyrd
expect_tcpip_port_value 127.0.0.1 Protocol REG_DWORD 0x1
expect_tcpip_port_value 127.0.0.1 Version REG_DWORD 0x1
expect_tcpip_port_value 127.0.0.1 PortNumber REG_DWORD 0x238c
expect_tcpip_port_value 127.0.0.1 "SNMP Enabled" REG_DWORD 0x0
expect_tcpip_port_value 127.0.0.1 "SNMP Index" REG_DWORD 0x1
values=$(tcpip_port_values 127.0.0.1 | grep -c ' REG_' || true)
[ "$values" -eq 9 ] || fail "the port entry holds $values values"

echo "rundll32 saw:"
rundll32_log
w=$(working_folder_windows)
want="rundll32 printui.dll,PrintUIEntry /if /f \"$w\\lumatrek.<random>\\install\\\\lumatrek.inf\" /r \"127.0.0.1\" /m \"lumatrek\" /b \"lumatrek58-wifi\""
[ "$(rundll32_commands)" = "$want" ] || fail "the command line was not: $want"
folder=$(rundll32_log | cut -d'|' -f1)
[ "${folder%\\}" = "$w\\lumatrek.<random>\\install" ] || fail "rundll32 ran in $folder"
expect_payload_seen
cmp "$(native_build)/generated/package/lumatrek.inf" "$RUNDLL32_DIR/given.inf" || fail "the /f file is not lumatrek.inf"
expect_staging_cleared
