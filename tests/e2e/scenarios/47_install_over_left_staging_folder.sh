# A staging folder left behind by an earlier run, with files in it (a stale
# payload folder, an archive, a stray file): the install starts from a fresh
# staging folder, the printer UI sees exactly the package, and afterwards only
# the empty staging folder is left.
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32
rundll32_carries_out
staging=$(staging_folder)
mkdir -p "$staging/install/amd64"
printf 'stale' > "$staging/install/lumatrek.inf"
printf 'stale' > "$staging/install/amd64/lumatrek.dll"
printf 'stale' > "$staging/install/planted.inf"
printf 'not an archive' > "$staging/install.zip"
printf 'left' > "$staging/sample.bmp"
press_install_expecting <<'EXPECT'
message 提示|打印机驱动设备已完成安装
EXPECT
rundll32_log
[ "$(rundll32_commands | grep -c ' /if ')" -eq 1 ] || fail "the installation did not run once"
echo "ProgramData holds: $(ls -A "$(dirname "$(dirname "$staging")")" | tr '\n' ' ')"
expect_payload_seen
expect_staging_cleared
