# Unattended runs that fail: a line that is not understood prints the usage
# and ends with 10 before anything is staged; a log path that is a folder
# or a second name of another file ends with 11; each failure of the install ends with its message's code.
unattended /install /usb USB001 /host 127.0.0.1
[ "$STATUS" -eq 10 ] || fail "exit code $STATUS for a contradiction"
[ "$(head -n 1 <<<"$CONSOLE")" = 'lumatrek-setup: /usb and /host together' ] || fail "no reason given"
grep -qx 'Usage:' <<<"$CONSOLE" || fail "no usage text"
unattended /install /usb USB001 /frobnicate
[ "$STATUS" -eq 10 ] && [ "$(head -n 1 <<<"$CONSOLE")" = 'lumatrek-setup: unknown argument: /frobnicate' ] \
  || fail "an unknown argument was not refused"
[ ! -e "$(product_folder)" ] || fail "something was staged: $(ls -A "$(product_folder)")"
unattended /uninstall /log 'C:\windows'
expect_unattended 11 'lumatrek-setup: cannot write the log file C:\windows'
# A second name of a file the log must not empty.
mkdir -p "$WINEPREFIX/drive_c/e2e"
printf 'keep\n' > "$WINEPREFIX/drive_c/e2e/kept.txt"
ln "$WINEPREFIX/drive_c/e2e/kept.txt" "$WINEPREFIX/drive_c/e2e/linked.log"
unattended /uninstall /log 'C:\e2e\linked.log'
expect_unattended 11 'lumatrek-setup: cannot write the log file C:\e2e\linked.log'
[ "$(cat "$WINEPREFIX/drive_c/e2e/kept.txt")" = keep ] || fail "the hard-linked file was emptied"

add_spooler_port USB002
add_usb_printer_interface 'USB#VID_1234&PID_0002#SER002' 2
install_rundll32
unattended /install /usb USB002
expect_unattended 27 '错误: 打印机型号错误'
unattended /install /host printer.example
expect_unattended 29 '错误: 打印机网址IP格式错误'
[ -z "$(rundll32_commands)" ] || fail "the printer UI ran"

printf '/if 1\n' > "$RUNDLL32_DIR/answers.txt"
unattended /install /host 127.0.0.1 /name 'front desk' /default
expect_unattended 32 '错误: 打印机与驱动安装失败'
rundll32_log
[ "$(rundll32_commands | wc -l)" -eq 1 ] || fail "more than the installation ran"
rundll32_commands | grep -q ' /b "front desk" /q$' || fail "the name was not passed"
expect_staging_cleared
