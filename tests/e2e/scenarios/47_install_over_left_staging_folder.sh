# What earlier runs and older versions left in the product folder (made by
# the program, so with its access list): an earlier run's working folder with
# a stale payload (removed), the fixed "lumatrek"
# folder of an older version (never entered: it stays as it is) and a file
# named like a working folder (left). The install works in a new folder of its
# own, the printer UI sees exactly the package, and no working folder is left.
add_spooler_port USB001
add_usb_printer_interface 'USB#VID_4B9E&PID_0001#SER001' 1
install_rundll32
rundll32_carries_out
product=$(product_folder)
earlier=$product/lumatrek.0123456789abcdef0123456789abcdef
make_own_folder "$product"
make_own_folder "$earlier"
mkdir -p "$earlier/install/amd64" "$product/lumatrek/install"
printf 'stale' > "$earlier/install/lumatrek.inf"
printf 'stale' > "$earlier/install/amd64/lumatrek.dll"
printf 'not an archive' > "$earlier/install.zip"
printf 'stale' > "$product/lumatrek/install/lumatrek.inf"
printf 'kept' > "$product/lumatrek.fedcba9876543210fedcba9876543210"
press_install_expecting <<'EXPECT'
message 提示|打印机驱动设备已完成安装
EXPECT
rundll32_log
[ "$(rundll32_commands | grep -c ' /if ')" -eq 1 ] || fail "the installation did not run once"
rundll32_commands | grep -qF '/f "C:\ProgramData\Tovlan\lumatrek.<random>\install\\lumatrek.inf"' \
  || fail "the printer UI was not given the new working folder"
echo "the product folder holds: $(ls -A "$product" | tr '\n' ' ')"
expect_payload_seen
[ ! -e "$earlier" ] || fail "the earlier run's working folder was left"
[ "$(cat "$product/lumatrek/install/lumatrek.inf")" = stale ] || fail "the older version's folder was touched"
[ "$(cat "$product/lumatrek.fedcba9876543210fedcba9876543210")" = kept ] || fail "the file was touched"
expect_staging_cleared
