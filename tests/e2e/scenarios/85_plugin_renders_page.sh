# The rendering plug-ins from the built driver archive, each model in each
# architecture that runs here, driven by the harness the way the universal
# printer driver drives a plug-in (see plugin_harness.cpp): the bytes it writes
# through DrvWriteSpoolBuf start with the printer's reset, end with the cut and
# hold raster blocks; rendered by the virtual printer, the paper shows the page
# the harness drew (text and the sample picture) dot for dot, down to its last
# printed row, then the cut.
native=$(native_build)
unpack_install_zip

# The 64-bit harness runs in the 64-bit prefix; the 32-bit one where the
# program under test is the 32-bit build (32-bit code runs on this machine).
runs=(win64:amd64)
[ "${E2E_ARCH:-64}" != 32 ] || runs+=(win32:i386)
for run in "${runs[@]}"; do
  harness=$(dirname "$E2E_BIN")/${run%%:*}/plugin_harness.exe
  arch=${run#*:}
  [ -f "$harness" ] || fail "no harness $harness"
  for model in lumatrek:384 lumatrek80:576; do
    name=${model%%:*}
    dots=${model#*:}
    out=$E2E_OUT/logs/$SCENARIO-$arch-$name
    echo "-- $arch/$name.dll, $dots dots"
    status=0
    wine "$harness" "$(winpath "$package/$arch/$name.dll")" "$dots" "$(winpath "$native/generated/sample.bmp")" \
      "$(winpath "$out.bin")" "$(winpath "$out.pgm")" > "$out.log" 2>&1 || status=$?
    tr -d '\r' < "$out.log"
    [ "$status" -eq 0 ] || fail "the harness found $status failures in $arch/$name.dll"

    [ "$(head -c 2 "$out.bin" | od -An -tx1 | tr -d ' ')" = 1b40 ] || fail "the job does not start with ESC @"
    [ "$(tail -c 4 "$out.bin" | od -An -tx1 | tr -d ' ')" = 1d564200 ] || fail "the job does not end with the cut"
    blocks=$(LC_ALL=C grep -ac $'\x1dv0' "$out.bin" || true)
    [ "$blocks" -gt 0 ] || fail "no raster block in the job"

    png=$E2E_OUT/screenshots/$SCENARIO-$arch-$name.png
    "$native/tools/virtual_printer/virtual_printer" --strict --width "$dots" --input "$out.bin" --out "$png" \
      || fail "the virtual printer could not render $out.bin"
    rows=$(sed -n 2p "$out.pgm" | cut -d' ' -f2)
    [ "$(identify -format '%w %h' "$png")" = "$dots $((rows + 2))" ] \
      || fail "the paper is $(identify -format '%wx%h' "$png"), not the page's $dots x $rows and the cut"
    convert "$png" -crop "${dots}x${rows}+0+0" +repage -depth 8 gray:"$out.paper.gray"
    convert "$out.pgm" -depth 8 gray:"$out.page.gray"
    cmp -s "$out.page.gray" "$out.paper.gray" || fail "the paper does not show the page the harness drew"
    echo "paper $dots x $rows shows the page, then the cut"
  done
done
