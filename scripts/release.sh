#!/usr/bin/env bash
# Makes the release folder dist/lumatrek-setup-1.00/ and verifies it:
#   win64/lumatrek-setup.exe  for 64-bit Windows
#   win32/lumatrek-setup.exe  for 32-bit Windows
#   README.txt                which file goes to which Windows
#   SHA256SUMS                the SHA-256 of the files above (sha256sum -c)
#
# Usage: scripts/release.sh [--no-build] [--no-timestamp]
#   --no-build      take the programs of an existing build (BUILD_DIR) instead
#                   of building them first
#   --no-timestamp  sign with SIGNING_PFX without SIGNING_TIMESTAMP_URL, on
#                   purpose (a test signature): without an RFC 3161 time stamp
#                   the signatures stop verifying when the certificate expires
# Environment: BUILD_DIR (default build/), DIST_DIR (default dist/),
# SOURCE_DATE_EPOCH (default: the commit's time), SIGNING_PFX and
# LUMATREK_SIGNING_PASSWORD (sign the programs; passed to the build),
# SIGNING_TIMESTAMP_URL (the RFC 3161 time-stamp server a PFX needs),
# SIGNING_CA (the certificates a signature must chain to; default: the
# PFX's own certificate).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
version=1.00
dist=${DIST_DIR:-$root/dist}/lumatrek-setup-$version
build_first=yes
SIGNING_NO_TIMESTAMP=OFF  # only the option says so, never the environment
for arg in "$@"; do
  case "$arg" in
    --no-build) build_first=no ;;
    --no-timestamp) SIGNING_NO_TIMESTAMP=ON ;;
    *) echo "usage: scripts/release.sh [--no-build] [--no-timestamp]" >&2; exit 2 ;;
  esac
done
export SIGNING_NO_TIMESTAMP
cmake -DSIGNING_PFX="${SIGNING_PFX:-}" -DSIGNING_TIMESTAMP_URL="${SIGNING_TIMESTAMP_URL:-}" \
  -DSIGNING_NO_TIMESTAMP="$SIGNING_NO_TIMESTAMP" -P "$root/cmake/signing_timestamp.cmake" ||
  { echo "release: refused before building anything" >&2; exit 1; }
signed=no
if [ -n "${SIGNING_PFX:-}" ]; then
  [ -f "$SIGNING_PFX" ] || { echo "release: no PFX at $SIGNING_PFX" >&2; exit 1; }
  SIGNING_PFX=$(cd "$(dirname "$SIGNING_PFX")" && pwd)/$(basename "$SIGNING_PFX")
  export SIGNING_PFX
  signed=yes
fi

if [ "$build_first" = yes ]; then
  echo "== building the programs in $build"
  BUILD_DIR=$build BUILD_SCOPE=release "$root/scripts/build.sh"
fi

echo "== assembling $dist"
rm -rf "$dist"
mkdir -p "$dist/win32" "$dist/win64"
for bits in 32 64; do
  cp "$build/win$bits/lumatrek-setup.exe" "$dist/win$bits/lumatrek-setup.exe"
done
cat >"$dist/README.txt" <<TEXT
Lumatrek Driver Setup V$version (Tovlan)

Which file for which Windows:
  win64\\lumatrek-setup.exe   64-bit Windows 7 or later on an Intel or AMD processor
                             (most Windows 10 and 11)
  win32\\lumatrek-setup.exe   32-bit Windows 7 or later
  (none)                     Windows on an ARM-based processor: the driver has no
                             ARM64 plug-in, so the printer cannot be installed there

How to tell: Settings > System > About (or Control Panel > System) shows
"System type: 64-bit operating system" or "32-bit operating system". The
32-bit program also runs on 64-bit Windows; the 64-bit one is native there.

Copy the file to the Windows machine and double-click it; it asks for
administrator rights. Started with an option such as /install it runs without
the dialog; lumatrek-setup.exe /? prints the options.

Each file's SHA-256 is in SHA256SUMS (check with: sha256sum -c SHA256SUMS,
or on Windows: certutil -hashfile lumatrek-setup.exe SHA256).
$( [ "$signed" = yes ] && echo "Both programs carry an Authenticode signature (Properties > Digital Signatures)." ||
   echo "The programs are not signed." )
TEXT
sed -i 's/$/\r/' "$dist/README.txt"  # read on Windows
(cd "$dist" && sha256sum win64/lumatrek-setup.exe win32/lumatrek-setup.exe README.txt >SHA256SUMS)

echo "== verifying $dist"
failed=0
(cd "$dist" && sha256sum -c SHA256SUMS) || failed=1
for bits in 32 64; do
  exe=$dist/win$bits/lumatrek-setup.exe
  cmp -s "$exe" "$build/win$bits/lumatrek-setup.exe" || { echo "win$bits: not the built program"; failed=1; }
  if facts=$(python3 "$root/tests/release/check_version.py" "$exe" lumatrek-setup.exe); then
    echo "win$bits: version: $facts"
  else
    echo "win$bits: version: FAILED: $facts"
    failed=1
  fi
done
if [ "$signed" = yes ]; then
  ca=${SIGNING_CA:-}
  if [ -z "$ca" ]; then
    ca=$(mktemp)
    trap 'rm -f "$ca"' EXIT
    openssl pkcs12 -in "$SIGNING_PFX" -nokeys -passin env:LUMATREK_SIGNING_PASSWORD -out "$ca" 2>/dev/null ||
      { echo "release: cannot read the certificate of $SIGNING_PFX"; exit 1; }
  fi
  for bits in 32 64; do
    if osslsigncode verify -CAfile "$ca" -in "$dist/win$bits/lumatrek-setup.exe" >/dev/null 2>&1; then
      echo "win$bits: signature: OK"
    else
      echo "win$bits: signature: FAILED"
      failed=1
    fi
  done
fi
[ "$failed" -eq 0 ] || { echo "release: verification FAILED"; exit 1; }
echo "release: $dist verified ($([ "$signed" = yes ] && echo signed || echo unsigned))"
