#!/usr/bin/env bash
# Fails when any file under the given build trees holds a private key: PEM
# ("PRIVATE KEY" armour) or a PKCS #12 file (.pfx/.p12, or DER whose outer
# SEQUENCE starts with version 3 and the pkcs7-data identifier). The
# throw-away signing key must never reach the disk.
# Usage: no_private_key.sh DIR...   (a DIR that does not exist is skipped)
set -uo pipefail
dirs=()
for d in "$@"; do [ -d "$d" ] && dirs+=("$d"); done
[ ${#dirs[@]} -gt 0 ] || { echo "no build tree among: $*"; exit 1; }
found=0
while IFS= read -r -d '' f; do
  case "$f" in *.pfx|*.p12) echo "PKCS #12 file: $f"; found=1; continue ;; esac
  if grep -qa -- '-----BEGIN [A-Z ]*PRIVATE KEY-----' "$f"; then echo "PEM private key: $f"; found=1; continue; fi
  # 30 82 LL LL 02 01 03 30 82 LL LL 06 09 2a864886f70d010701: PFX { version 3, authSafe data }
  head=$(head -c 24 "$f" | od -An -tx1 | tr -d ' \n')
  if [[ $head =~ ^3082....020103308.*06092a864886f70d010701 ]]; then echo "PKCS #12 data: $f"; found=1; fi
done < <(find "${dirs[@]}" -type f -size -16M -print0)
[ $found -eq 0 ] && echo "no private key under: ${dirs[*]}"
exit $found
