#!/usr/bin/env bash
# Builds the shipped artefacts a second time, from a copy of the sources in
# another folder into another build folder, and compares them with those of
# the build in BUILD (tests/release/check_reproducible.py). Only what ships
# is built the second time (the plug-ins, pictures, archives and the two
# programs), with the same SOURCE_DATE_EPOCH as the first build.
# Usage: reproduce.sh BUILD
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
first=$(cd "${1:?usage: reproduce.sh BUILD}" && pwd)
second=$first/reproduce
epoch=$(sed -n 's/^SOURCE_DATE_EPOCH:STRING=//p' "$first/native/CMakeCache.txt")
minizip=$(sed -n 's/^MINIZIP_SRC_DIR:PATH=//p' "$first/native/CMakeCache.txt")
[ -n "$epoch" ] || { echo "reproduce: $first was built without SOURCE_DATE_EPOCH"; exit 1; }

rm -rf "$second"
mkdir -p "$second/sources"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$root" && git ls-files -z -co --exclude-standard | tar --null -T - -cf -) | tar -xf - -C "$second/sources"
else
  tar -C "$root" --exclude=./build --exclude=./dist -cf - . | tar -xf - -C "$second/sources"
fi
echo "== second build of commit time $epoch in $second"
SOURCE_DATE_EPOCH=$epoch BUILD_SCOPE=release BUILD_DIR=$second/build THIRD_PARTY_DIR=$(dirname "$minizip") \
  "$second/sources/scripts/build.sh" >"$second/build.log" 2>&1 || { tail -n 30 "$second/build.log"; exit 1; }
relaxed=()
[ -n "${SIGNING_PFX:-}" ] || relaxed=(--catalogs-may-differ)
python3 "$root/tests/release/check_reproducible.py" "$first" "$second/build" "${relaxed[@]}"
