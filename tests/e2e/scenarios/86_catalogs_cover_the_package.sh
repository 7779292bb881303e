# Each model's catalog, as the built driver archive carries it, read by
# Windows' own catalog calls (catalog_check.exe: CryptCATOpen, the catalog
# hashes of each file in SHA-1 and SHA-256, each found as a member): every
# file the INF installs is covered; with one byte of the INF changed, the INF
# is no longer found.
unpack_install_zip

check() {  # check CATALOG FILE... : catalog_check's exit code, its output in the log
  local args=() f status=0
  for f in "$@"; do args+=("$(winpath "$package/$f")"); done
  wine "$E2E_BIN/catalog_check.exe" "${args[@]}" > "$E2E_OUT/logs/$SCENARIO-check.log" 2>&1 || status=$?
  tr -d '\r' < "$E2E_OUT/logs/$SCENARIO-check.log"
  return $status
}

while read -r catalog files; do
  echo "-- $catalog"
  # shellcheck disable=SC2086
  check "$catalog" $files || fail "$catalog does not cover: $files"
done <<'TABLE'
lumatrek.cat   lumatrek.inf lumatrek.gpd lumatrek.ini i386/lumatrek.dll amd64/lumatrek.dll
lumatrek80.cat lumatrek80.inf lumatrek80.gpd lumatrek80.ini i386/lumatrek80.dll amd64/lumatrek80.dll
TABLE

echo "-- lumatrek.inf with one byte changed"
printf 'X' | dd of="$package/lumatrek.inf" bs=1 seek=2 conv=notrunc 2>/dev/null
if check lumatrek.cat lumatrek.inf; then fail "the changed INF was found in lumatrek.cat"; fi
grep -q '^MISSING SHA-1 ' "$E2E_OUT/logs/$SCENARIO-check.log" || fail "the changed INF's SHA-1 was not reported missing"
grep -q '^MISSING SHA-256 ' "$E2E_OUT/logs/$SCENARIO-check.log" || fail "the changed INF's SHA-256 was not reported missing"
