# A USB printer of the vendor on USB001, shared: the printer UI gets exactly
# the command line of the example, no TCP/IP port is registered, and the
# payload it ran in unpacked byte for byte, without what an older version
# left in its fixed "lumatrek" folder (which stays as it is).
# The stand-in carries the installation out.
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32
rundll32_carries_out
make_own_folder "$(product_folder)"
staging=$(product_folder)/lumatrek
mkdir -p "$staging/install/i386"
printf 'stale' > "$staging/install/stale.inf"
printf 'stale' > "$staging/install/i386/old.dll"
printf 'not an archive' > "$staging/install.zip"
dialog_session 500 <<'SCRIPT'
selected IDC_USB_PORT USB001
click IDC_SHARE_PRINTER
click IDC_INSTALL
message 提示|打印机驱动设备已完成安装
SCRIPT
echo "rundll32 saw:"
rundll32_log
want='rundll32 printui.dll,PrintUIEntry /if /f "C:\ProgramData\Tovlan\lumatrek.<random>\install\\lumatrek.inf" /r "USB001" /m "lumatrek" /b "lumatrek58-usb" /Z'
[ "$(rundll32_commands)" = "$want" ] || fail "the command line was not: $want"
expect_payload_seen
ports=$(wine reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports' 2>/dev/null \
  | tr -d '\r' | grep -c '^HKEY.*\\Ports\\' || true)
[ "$ports" -eq 0 ] || fail "a TCP/IP port was registered for a USB printer"
expect_staging_cleared
[ "$(cat "$staging/install/stale.inf")" = stale ] || fail "the old staging folder was touched"
