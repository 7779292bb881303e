# A rundll32 that cannot be started (its file is no program) is a failed
# installation, not a success.
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
windows=$WINEPREFIX/drive_c/windows
for folder in system32 syswow64; do
  [ ! -d "$windows/$folder" ] || printf 'not a program' > "$windows/$folder/rundll32.exe"
done
dialog_session 500 <<'SCRIPT'
click IDC_INSTALL
message 错误|打印机与驱动安装失败
SCRIPT
expect_staging_cleared
