# A model file that cannot be deleted (read-only) gives the failure message,
# after the packages are gone; a package delete that fails gives it too,
# and the packages after it are not tried; so does a listing that exits nonzero.
install_pnputil
add_printer_driver "Microsoft XPS Document Writer v4"
printf 'Published name :  oem5.inf\r\nDriver package provider :  Lumatrek Pos Printer\r\n\r\nPublished name :  oem6.inf\r\nDriver package provider :  Lumatrek Pos Printer\r\n' \
  > "$PNPUTIL_DIR/listing.txt"
folder=$(driver_folder)
mkdir -p "$folder"
for ending in BUD dll gpd ini; do printf 'x' > "$folder/lumatrek.$ending"; done
chmod a-w "$folder/lumatrek.gpd"

dialog_session 300 <<'SCRIPT'
click IDC_UNINSTALL
message 错误|驱动卸载失败，请重启计算机后重试！
SCRIPT
[ "$(pnputil_log)" = "$(printf -- '-e\n-f -d oem5.inf\n-f -d oem6.inf')" ] || fail "packages not deleted first"
[ ! -e "$folder/lumatrek.dll" ] || fail "lumatrek.dll was not deleted"
[ -e "$folder/lumatrek.gpd" ] && [ -e "$folder/lumatrek.ini" ] || fail "files after the locked one were touched"

# Now the files go, but the first package refuses.
chmod u+w "$folder/lumatrek.gpd"
: > "$PNPUTIL_DIR/log.txt"
printf 'oem5.inf 1\n' > "$PNPUTIL_DIR/exitcodes.txt"
dialog_session 300 <<'SCRIPT'
click IDC_UNINSTALL
message 错误|驱动卸载失败，请重启计算机后重试！
SCRIPT
[ "$(pnputil_log)" = "$(printf -- '-e\n-f -d oem5.inf')" ] || fail "a package after the failed one was tried"
[ -e "$folder/lumatrek.gpd" ] || fail "files were deleted after a failed package"

# A listing that ends in failure may have left packages out: that is a failure too.
: > "$PNPUTIL_DIR/log.txt"
printf -- '-e 1\n' > "$PNPUTIL_DIR/exitcodes.txt"
dialog_session 300 <<'SCRIPT'
click IDC_UNINSTALL
message 错误|驱动卸载失败，请重启计算机后重试！
SCRIPT
[ "$(pnputil_log)" = "$(printf -- '-e\n-f -d oem5.inf\n-f -d oem6.inf')" ] || fail "the listing's packages were not tried"
