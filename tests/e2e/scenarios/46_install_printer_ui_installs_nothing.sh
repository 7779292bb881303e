# The printer UI exits 0 but installs nothing (as Wine's own does): the
# spooler has no such printer, so the installation failed, and the default
# printer step never runs.
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32
press_install_expecting <<'EXPECT'
message 错误|打印机与驱动安装失败
EXPECT
expect_only_the_installation_ran
! grep -q 'lumatrek58-usb' <<<"$(spooler_state)" || fail "the spooler holds the printer"
expect_staging_cleared
