#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (under
# AddressSanitizer and UBSan), the tools' own tests, the release checks of
# both programs and the plug-ins, the release folder's verification, a second
# build in another folder that must give the same bytes, and the end-to-end
# suite that drives the real .exe under Wine in a private network namespace
# (both programs where this machine runs 32-bit code, the 64-bit one where it
# does not).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
# One time for both builds of the reproducibility check.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1704067200)}
export SOURCE_DATE_EPOCH
# shellcheck source=machine.sh
source "$root/scripts/machine.sh"
echo "== $LUMATREK_MACHINE: the end-to-end suite runs $(
  [ "$LUMATREK_RUNS_32BIT" = yes ] && echo "the 32-bit and the 64-bit program" || echo "the 64-bit program under 64-bit Wine")"

"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh"

echo "== unit and tool tests"
ctest --test-dir "$build/native" --output-on-failure
"$root/tests/release/check_exe.sh" "$build/win32/lumatrek-setup.exe" 32
"$root/tests/release/check_exe.sh" "$build/win64/lumatrek-setup.exe" 64
for dll in "$build"/native/generated/package/*/*.dll; do
  facts=$(python3 "$root/tests/release/check_version.py" "$dll" "$(basename "$dll")") ||
    { echo "FAIL version of $dll: $facts"; exit 1; }
  echo "ok   version of ${dll#"$build/"}: $facts"
done
DIST_DIR=$build/dist "$root/scripts/release.sh" --no-build
"$root/tests/release/reproduce.sh" "$build"
# With the test PFX: a signed release, verified, and built again elsewhere to
# the same bytes, catalogs and programs included. There is no network here,
# so no time stamp: said on purpose with --no-timestamp.
signed=$build/signed
export THIRD_PARTY_DIR=$build/third_party LUMATREK_SIGNING_PASSWORD=lumatrek-test-only
SIGNING_PFX=$root/tests/signing/test-publisher.pfx BUILD_DIR=$signed DIST_DIR=$signed/dist \
  "$root/scripts/release.sh" --no-timestamp
"$root/tests/release/check_signatures.sh" "$signed"
"$root/tests/release/reproduce.sh" "$signed"
python3 "$root/tests/docs/check_messages.py"
"$root/tests/fuzz/run.sh"

echo "== end-to-end tests under Wine"
"$root/tests/e2e/run.sh"
