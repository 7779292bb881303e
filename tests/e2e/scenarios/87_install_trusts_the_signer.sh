# prefix: native
# Install makes the package's signer trusted in Wine's machine stores before
# the printer UI runs (TrustedPublisher and, for the build's throw-away
# certificate, Root) and records what it added in the 64-bit registry view;
# Uninstall takes both entries and the
# record away and leaves every other certificate. (Wine 8's WinVerifyTrust
# answers 0 for the catalogs whether or not the signer is trusted, so its
# verdicts are listed, not judged.)
install_rundll32
rundll32_carries_out
install_pnputil
pnputil_lists_product_package
unpack_install_zip
signer_certificate
echo "signer: $SIGNER_NAME $SIGNER_THUMB"

trust_state() {  # the stores' thumbprints and the catalogs' verdicts, as trust_probe.exe lists them
  local out=$E2E_OUT/logs/$SCENARIO-trust.txt
  rm -f "$out"
  timeout 120 wine "$E2E_BIN/trust_probe.exe" "$(winpath "$out")" "$(winpath "$package/lumatrek.cat")" \
    "$(winpath "$package/lumatrek80.cat")" >/dev/null 2>&1 || return 1
  tr -d '\r' < "$out"
}
record() {  # the record's line in reg's listing, or nothing
  { wine reg query 'HKLM\SOFTWARE\Tovlan\lumatrek' /v AddedCertificates /reg:64 2>/dev/null || true; } |
    tr -d '\r' | grep AddedCertificates || true
}

before=$(trust_state) || fail "the trust probe failed"
grep -v '^store|' <<<"$before"
! grep -q "|$SIGNER_THUMB\$" <<<"$before" || fail "the signer is trusted before the installation"

unattended /install /host 127.0.0.1
expect_unattended 0 '提示: 打印机驱动设备已完成安装'
after=$(trust_state) || fail "the trust probe failed"
grep -v '^store|' <<<"$after"; grep "|$SIGNER_THUMB\$" <<<"$after" || true
grep -qx "store|TrustedPublisher|$SIGNER_THUMB" <<<"$after" || fail "the signer is no trusted publisher"
grep -qx "store|Root|$SIGNER_THUMB" <<<"$after" || fail "the signer is no trusted root"
record
record | grep -q "TrustedPublisher $SIGNER_THUMB.*Root $SIGNER_THUMB" || fail "the additions were not recorded"

unattended /uninstall /log 'C:\e2e\uninstall.log'
expect_unattended 0 '提示: 驱动卸载完成'
unattended_log 'e2e\uninstall.log' | grep certificate
gone=$(trust_state) || fail "the trust probe failed"
! grep -q "|$SIGNER_THUMB\$" <<<"$gone" || fail "the signer is still trusted after the uninstall"
[ "$(grep '^store|' <<<"$gone")" = "$(grep '^store|' <<<"$before")" ] || fail "other certificates changed"
[ -z "$(record)" ] || fail "the record is left: $(record)"
