#!/usr/bin/env bash
# Reruns the calibration of gpd_format.py on Microsoft's own GPD files:
#   tools/driver_plugin/gpd_calibrate.sh SAMPLES
# SAMPLES is a checkout of github.com/microsoft/Windows-driver-samples at a
# commit before 575745be (which removed the unidrv samples), e.g.
#   git clone https://github.com/microsoft/Windows-driver-samples SAMPLES
#   git -C SAMPLES checkout 575745be~1
# The samples stay there: nothing of them is copied into this project.
# Every sample must pass the format's rules, and each known-bad variant of
# bitmap.gpd (made in a temporary folder) must fail. Exits 1 otherwise.
set -euo pipefail
samples=${1:?usage: gpd_calibrate.sh WINDOWS-DRIVER-SAMPLES-CHECKOUT}
format=$(cd "$(dirname "$0")" && pwd)/gpd_format.py
oem="print/OEM Printer Customization Plug-in Samples/C++"
files=("$oem/bitmap.gpd" "$oem/oem.gpd" "$oem/oemprean.gpd" "$oem/syncset.gpd"
       "$oem/PTPCPlPr/install/ptpcplpr.gpd" "print/autoconfig/AutoCnfg.GPD")
failed=0
for file in "${files[@]}"; do
  if [ ! -f "$samples/$file" ]; then
    echo "MISSING $file"; failed=1
  elif python3 "$format" "$samples/$file"; then
    echo "pass    $file"
  else
    echo "FAIL    $file"; failed=1
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bitmap=$samples/$oem/bitmap.gpd
variant() {  # NAME SED-EXPRESSION: the variant must be refused
  sed "$2" "$bitmap" >"$tmp/$1.gpd"
  if cmp -s "$bitmap" "$tmp/$1.gpd"; then
    echo "UNCHANGED variant $1"; failed=1
  elif python3 "$format" "$tmp/$1.gpd" >/dev/null; then
    echo "ACCEPTED variant $1"; failed=1
  else
    echo "refused variant $1"
  fi
}
[ -f "$bitmap" ] && {
  variant hash-include 's/^\*Include:/#Include:/'
  variant no-gpd-version-line '/^\*GPDSpecVersion:/d'
  variant brace-too-many '0,/^}/s/^}/}\n}/'
  variant printable-area-gone '/\*PrintableArea:/d'
  variant unidrv-option-id 's/^\(\t\t\*rcNameID: =RCID_DMPAPER_SYSTEM_NAME\)/\1\n\t\t*OptionID: 257/'
}
[ "$failed" -eq 0 ] && echo "calibration: all samples pass, every variant is refused"
exit "$failed"
