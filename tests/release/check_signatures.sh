#!/usr/bin/env bash
# Checks a build made with -DSIGNING_PFX: both programs and the four plug-ins
# carry a valid Authenticode signature by the package's publisher certificate,
# and the catalogs verify (check_catalogs.sh).
# Usage: check_signatures.sh BUILD_DIR   (holding native/, win32/, win64/)
set -uo pipefail
build=${1:?usage: check_signatures.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
package=$build/native/generated/package
[ -f "$package/publisher.cer" ] || { echo "FAIL: no publisher.cer: not a build signed with a PFX"; exit 1; }
ca=$(mktemp)
trap 'rm -f "$ca"' EXIT
openssl x509 -inform DER -in "$package/publisher.cer" -out "$ca" || exit 1
failed=0
for f in "$build/win32/lumatrek-setup.exe" "$build/win64/lumatrek-setup.exe" "$package"/i386/*.dll "$package"/amd64/*.dll; do
  if out=$(osslsigncode verify -CAfile "$ca" -in "$f" 2>&1) && grep -q '^Signature verification: ok' <<<"$out"; then
    echo "ok: ${f#"$build"/} is signed"
  else
    echo "FAIL: ${f#"$build"/}"; printf '%s\n' "$out" | tail -6; failed=1
  fi
done
bash "$here/check_catalogs.sh" "$package" || failed=1
exit $failed
