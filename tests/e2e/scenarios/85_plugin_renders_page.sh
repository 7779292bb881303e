# The rendering plug-ins from the built driver archive, each model in each
# architecture that runs here, driven by the harness in the universal printer
# driver's order (see plugin_harness.cpp) through its table of jobs: pages in
# bands, ResetDC between pages, bands off the left edge, a cancelled job and
# every printing preference. The virtual printer renders each job strictly
# (every byte a whole command, so a cancelled job too) and must show the
# harness's expectation: the number of cuts, how many of them partial, the
# drawer kicks, and the pages dot for dot down to their last printed rows
# ("pages"; the grey cut and kick marks aside) or a paper shorter than the
# pages ("shorter", blank gaps shortened).
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
      "$(winpath "$out")" > "$out.log" 2>&1 || status=$?
    tr -d '\r' < "$out.log"
    [ "$status" -eq 0 ] || fail "the harness found $status failures in $arch/$name.dll"

    for expect in "$out"-*.expect; do
      job=${expect%.expect}
      read -r cuts partial kicks paper < "$expect"
      png=$E2E_OUT/screenshots/$SCENARIO-$arch-$name-${job##*/$SCENARIO-$arch-$name-}.png
      summary=$("$native/tools/virtual_printer/virtual_printer" --strict --width "$dots" --input "$job.bin" \
        --out "$png") || fail "the virtual printer found bytes it could not read in $job.bin"
      [[ $summary == *" $cuts cuts ($partial partial), $kicks drawer kicks,"* ]] \
        || fail "$job: the printer shows '$summary', not $cuts cuts ($partial partial) and $kicks kicks"
      rows=$(sed -n 2p "$job.pgm" | cut -d' ' -f2)
      height=$(identify -format '%h' "$png")
      case $paper in
        pages)
          [ "$height" -ge "$rows" ] || fail "$job: the paper is $height rows, shorter than the pages' $rows"
          # Black dots only: the cut lines and kick squares are grey.
          convert "$png" -crop "${dots}x${rows}+0+0" +repage -threshold 40% -depth 8 gray:"$job.paper.gray"
          convert "$job.pgm" -depth 8 gray:"$job.page.gray"
          cmp -s "$job.page.gray" "$job.paper.gray" || fail "$job: the paper does not show the pages the harness drew";;
        shorter)
          [ "$height" -lt "$rows" ] || fail "$job: the paper ($height rows) is not shorter than the pages ($rows)";;
      esac
      echo "${job##*/}: $summary"
    done
  done
done
