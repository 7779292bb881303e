# A Tovlan someone else made before the first run (mode 0755: Wine reads an
# entry for Everyone into its access list, so it is not as the program makes
# it), with a look-alike working folder and an INF of their own in it. The
# install never enters it: it stages in the Windows folder's Tovlan instead,
# the printer UI is given the INF there, the install succeeds, and the other
# Tovlan is exactly as it was. (What Wine cannot show, an oplock on it and a
# mount point made of it, the unit tests show against the fake system.)
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32
rundll32_carries_out
product=$(product_folder)
lookalike=$product/lumatrek.0123456789abcdef0123456789abcdef
mkdir -p "$lookalike/install"
chmod 755 "$product" "$lookalike"
printf 'their INF' > "$lookalike/install/lumatrek.inf"
printf 'their INF' > "$product/lumatrek.inf"
before=$(cd "$product" && find . | LC_ALL=C sort | tr '\n' ' ')
press_install_expecting <<'EXPECT'
message 提示|打印机驱动设备已完成安装
EXPECT
rundll32_log
rundll32_commands | grep -qF '/f "C:\windows\Tovlan\lumatrek.<random>\install\\lumatrek.inf"' \
  || fail "the printer UI was not given the INF in the Windows folder's Tovlan"
expect_payload_seen
after=$(cd "$product" && find . | LC_ALL=C sort | tr '\n' ' ')
[ "$before" = "$after" ] || fail "the other Tovlan changed: $before -> $after"
[ "$(cat "$lookalike/install/lumatrek.inf")" = 'their INF' ] || fail "the look-alike was touched"
left=$(find "$(windows_product_folder)" -mindepth 1 -maxdepth 1 -name 'lumatrek.*')
[ -z "$left" ] || fail "a working folder was left: $left"
echo "the other Tovlan holds, as before: $after"
