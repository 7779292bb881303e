# The printer UI exits 0 but installs nothing (as Wine's own does): the
# spooler has no such printer, so the installation failed, and the default
# printer step never runs.
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32
robot <<'SCRIPT'
launch @EXE@
click 1006
click 1000
message 错误|打印机与驱动安装失败
quiet 500
key 1007 escape
exit 2
SCRIPT
rundll32_log
[ "$(rundll32_commands | wc -l)" -eq 1 ] || fail "more than the installation ran"
rundll32_commands | grep -q ' /if ' || fail "the installation did not run"
! grep -q 'lumatrek58-usb' <<<"$(spooler_state)" || fail "the spooler holds the printer"
expect_staging_cleared
