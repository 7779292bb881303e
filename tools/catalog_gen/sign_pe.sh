#!/usr/bin/env bash
# Signs a Windows program or DLL with Authenticode (SHA-256) from a PFX:
#   sign_pe.sh PFX IN OUT [TIMESTAMP_URL]      (IN and OUT may be the same file)
# The PFX password comes from LUMATREK_SIGNING_PASSWORD and reaches
# osslsigncode through a pipe, never a command line, a file or a log.
set -euo pipefail
pfx=$1 in=$2 out=$3 url=${4:-}
[ -n "${LUMATREK_SIGNING_PASSWORD+set}" ] || { echo "sign_pe.sh: LUMATREK_SIGNING_PASSWORD is not set" >&2; exit 1; }
tmp="$out.signing"
rm -f "$tmp"
args=(sign -pkcs12 "$pfx" -readpass - -h sha256 -in "$in" -out "$tmp")
if [ -n "$url" ]; then args+=(-ts "$url"); fi
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then args+=(-time "$SOURCE_DATE_EPOCH"); fi
if ! printf '%s' "$LUMATREK_SIGNING_PASSWORD" | osslsigncode "${args[@]}" >/dev/null; then
  rm -f "$tmp"
  echo "sign_pe.sh: could not sign $in" >&2
  exit 1
fi
mv -f "$tmp" "$out"
