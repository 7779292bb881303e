#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (under
# AddressSanitizer and UBSan), the tools' own tests, and the end-to-end suite
# that drives the real .exe under Wine in a private network namespace.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build

"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh"

echo "== unit and tool tests"
ctest --test-dir "$build/native" --output-on-failure
"$root/tests/release/check_exe.sh" "$build/win32/lumatrek-setup.exe"
python3 "$root/tests/docs/check_messages.py"
"$root/tests/fuzz/run.sh"

echo "== end-to-end tests under Wine"
"$root/tests/e2e/run.sh"
