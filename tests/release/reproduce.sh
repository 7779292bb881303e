#!/usr/bin/env bash
# Builds the shipped artefacts a second time, from a copy of the sources in
# another folder into another build folder, and compares them with those of
# the build in BUILD (tests/release/check_reproducible.py). Only what ships
# is built the second time (the plug-ins, pictures, archives and the two
# programs), with the same SOURCE_DATE_EPOCH and signing input as the first
# build: with a PFX and no time stamp everything must be identical.
# Usage: reproduce.sh BUILD
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
first=$(cd "${1:?usage: reproduce.sh BUILD}" && pwd)
second=$first/reproduce
epoch=$(sed -n 's/^SOURCE_DATE_EPOCH:STRING=//p' "$first/native/CMakeCache.txt")
minizip=$(sed -n 's/^MINIZIP_SRC_DIR:PATH=//p' "$first/native/CMakeCache.txt")
# The same signing input: the first build's PFX (its password from the environment).
pfx=$(sed -n 's/^SIGNING_PFX:FILEPATH=//p' "$first/native/CMakeCache.txt")
stamp=$(sed -n 's/^SIGNING_TIMESTAMP_URL:STRING=//p' "$first/native/CMakeCache.txt")
no_stamp=$(sed -n 's/^SIGNING_NO_TIMESTAMP:BOOL=//p' "$first/native/CMakeCache.txt")
[ -n "$epoch" ] || { echo "reproduce: $first was built without SOURCE_DATE_EPOCH"; exit 1; }

rm -rf "$second"
mkdir -p "$second/sources"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$root" && git ls-files -z -co --exclude-standard | tar --null -T - -cf -) | tar -xf - -C "$second/sources"
else
  tar -C "$root" --exclude=./build --exclude=./dist -cf - . | tar -xf - -C "$second/sources"
fi
echo "== second build of commit time $epoch in $second"
SIGNING_PFX=$pfx SIGNING_TIMESTAMP_URL=$stamp SIGNING_NO_TIMESTAMP=${no_stamp:-OFF} SOURCE_DATE_EPOCH=$epoch BUILD_SCOPE=release BUILD_DIR=$second/build THIRD_PARTY_DIR=$(dirname "$minizip") \
  "$second/sources/scripts/build.sh" >"$second/build.log" 2>&1 || { tail -n 30 "$second/build.log"; exit 1; }
# Without a PFX a throw-away certificate signs the catalogs anew each build;
# a time stamp makes the signatures differ too.
relaxed=()
[ -n "$pfx" ] && [ -z "$stamp" ] || relaxed=(--catalogs-may-differ)
status=0
python3 "$root/tests/release/check_reproducible.py" "$first" "$second/build" "${relaxed[@]}" || status=$?
rm -rf "$second/sources"  # nothing of the sources (a test PFX) stays in the build tree
exit $status
