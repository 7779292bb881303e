#!/usr/bin/env bash
# Checks the built driver package (the archive's layout in PACKAGE_DIR): each
# catalog's signature verifies with the embedded signer certificate as the only
# trust anchor, and each plug-in's image hash is a member of its model's
# catalog (osslsigncode hashes the DLL itself). The text files are looked up
# by Windows' own catalog calls in the end-to-end suite.
# Usage: check_catalogs.sh PACKAGE_DIR
set -uo pipefail
dir=${1:?usage: check_catalogs.sh PACKAGE_DIR}
certs=("$dir"/publisher.cer "$dir"/build-signer.cer)
present=()
for c in "${certs[@]}"; do [ -f "$c" ] && present+=("$c"); done
[ ${#present[@]} -eq 1 ] || { echo "FAIL: the package holds ${#present[@]} signer certificates"; exit 1; }
ca=$(mktemp)
trap 'rm -f "$ca"' EXIT
openssl x509 -inform DER -in "${present[0]}" -out "$ca" || { echo "FAIL: ${present[0]} is no DER certificate"; exit 1; }

failed=0
verify() {  # verify WHAT osslsigncode-arguments...
  local what=$1 out
  shift
  if out=$(osslsigncode verify -CAfile "$ca" "$@" 2>&1) && grep -q '^Signature verification: ok' <<<"$out"; then
    echo "ok: $what"
  else
    echo "FAIL: $what"; printf '%s\n' "$out" | tail -8; failed=1
  fi
}
for model in lumatrek lumatrek80; do
  verify "$model.cat is signed by ${present[0]##*/}" -in "$dir/$model.cat"
  for arch in i386 amd64; do
    verify "$arch/$model.dll is in $model.cat" -catalog "$dir/$model.cat" -in "$dir/$arch/$model.dll"
  done
done
exit $failed
