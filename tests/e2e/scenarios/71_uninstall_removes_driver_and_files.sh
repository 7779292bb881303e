# Both model drivers registered with the spooler and the model files in the
# native driver folder: uninstall deletes both drivers and the eight files,
# and leaves the other driver and the other files alone.
install_pnputil
add_printer_driver "Microsoft XPS Document Writer v4"
add_printer_driver lumatrek
add_printer_driver lumatrek80
folder=$(driver_folder)
mkdir -p "$folder"
for model in lumatrek lumatrek80; do
  for ending in BUD dll gpd ini; do printf 'x' > "$folder/$model.$ending"; done
done
printf 'x' > "$folder/UNIDRV.DLL"
dialog_session 300 <<'SCRIPT'
click IDC_UNINSTALL
message 提示|驱动卸载完成
SCRIPT
echo "driver folder now:" $(ls "$folder")
left=$(ls "$folder" | grep -i '^lumatrek' || true)
[ -z "$left" ] || fail "model files left: $left"
[ -f "$folder/UNIDRV.DLL" ] || fail "another file went too"
has_printer_driver "Microsoft XPS Document Writer v4" || fail "the other driver went too"
! has_printer_driver lumatrek || fail "driver lumatrek still registered"
! has_printer_driver lumatrek80 || fail "driver lumatrek80 still registered"
