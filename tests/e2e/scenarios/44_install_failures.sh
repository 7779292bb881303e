# Each failure shows its one message and leaves only the empty staging folder:
# the installation exiting with 1 (the default printer step then never runs),
# the default printer step exiting with 2 after a carried-out installation,
# and an empty printer name (the printer UI never started).
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32

printf '/if 1\n' > "$RUNDLL32_DIR/answers.txt"
press_install_expecting <<'EXPECT'
message 错误|打印机与驱动安装失败
EXPECT
expect_only_the_installation_ran
expect_staging_cleared

: > "$RUNDLL32_DIR/log.txt"
rundll32_carries_out
printf '/if 0\n/y 2\n' > "$RUNDLL32_DIR/answers.txt"
press_install_expecting <<'EXPECT'
message 错误|设置默认打印机失败
EXPECT
rundll32_log
[ "$(rundll32_commands | sed -n 2p)" = 'rundll32 printui.dll,PrintUIEntry /n "lumatrek58-usb" /y' ] \
  || fail "the default printer command was not run as expected"
expect_staging_cleared

: > "$RUNDLL32_DIR/log.txt"
: > "$RUNDLL32_DIR/answers.txt"
dialog_session 500 <<'SCRIPT'
type IDC_PRINTER_NAME 
click IDC_INSTALL
message 错误|打印机名称错误
SCRIPT
[ -z "$(rundll32_log)" ] || fail "rundll32 was started: $(rundll32_log)"
expect_staging_cleared
