#!/usr/bin/env bash
# Unpacks Debian's minizip source package into the given folder (default
# build/third_party) and prints the folder that holds unzip.c. The sources are
# fetched at build time and never committed.
set -euo pipefail
dest=${1:-$(cd "$(dirname "$0")/.." && pwd)/build/third_party}
mkdir -p "$dest"
found=$(find "$dest" -maxdepth 3 -name unzip.c -path '*minizip*' 2>/dev/null | head -n 1)
if [ -z "$found" ]; then
  (cd "$dest" && apt-get source -q minizip >/dev/null 2>&1) || {
    echo "fetch-minizip: 'apt-get source minizip' failed (is a deb-src entry configured?)" >&2
    exit 1
  }
  found=$(find "$dest" -maxdepth 3 -name unzip.c -path '*minizip*' | head -n 1)
fi
[ -n "$found" ] || { echo "fetch-minizip: unzip.c not found in the source package" >&2; exit 1; }
dirname "$found"
