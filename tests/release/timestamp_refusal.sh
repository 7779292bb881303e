#!/usr/bin/env bash
# A PFX without an RFC 3161 time-stamp server is refused, with the reason, by
# the CMake check, by scripts/build.sh and by scripts/release.sh before they
# build anything; --no-timestamp / SIGNING_NO_TIMESTAMP=1 and a time-stamp URL
# let it through. Nothing is built: the scripts stop at their first check.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
pfx=$root/tests/signing/test-publisher.pfx
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
expect() {  # WHAT STATUS(0|refused) COMMAND...: the command passes, or is refused with the reason
  local what=$1 want=$2 status=0
  shift 2
  "$@" >"$tmp/out" 2>&1 || status=$?
  if [ "$want" = refused ]; then
    if [ "$status" -ne 0 ] && grep -q "RFC 3161" "$tmp/out" && grep -q "certificate expires" "$tmp/out" &&
       [ ! -e "$tmp/build" ] && [ ! -e "$tmp/dist" ]; then
      echo "ok   $what: refused"
    else
      echo "FAIL $what: status $status, not refused with the reason (or it built):"; cat "$tmp/out"; failed=1
    fi
  elif [ "$status" -eq 0 ]; then
    echo "ok   $what: passes"
  else
    echo "FAIL $what: status $status:"; cat "$tmp/out"; failed=1
  fi
}
check=(cmake -P "$root/cmake/signing_timestamp.cmake")
expect "cmake, a PFX alone" refused cmake -DSIGNING_PFX="$pfx" "${check[@]:1}"
expect "cmake, a PFX and a URL" 0 cmake -DSIGNING_PFX="$pfx" -DSIGNING_TIMESTAMP_URL=http://127.0.0.1:9/ "${check[@]:1}"
expect "cmake, a PFX without a stamp on purpose" 0 cmake -DSIGNING_PFX="$pfx" -DSIGNING_NO_TIMESTAMP=ON "${check[@]:1}"
expect "cmake, no PFX" 0 "${check[@]}"
expect "build.sh, a PFX alone" refused env SIGNING_PFX="$pfx" SIGNING_TIMESTAMP_URL= BUILD_DIR="$tmp/build" \
  bash "$root/scripts/build.sh"
expect "release.sh, a PFX alone (SIGNING_NO_TIMESTAMP in the environment counts not)" refused env SIGNING_PFX="$pfx" SIGNING_TIMESTAMP_URL= SIGNING_NO_TIMESTAMP=1 \
  BUILD_DIR="$tmp/build" DIST_DIR="$tmp/dist" bash "$root/scripts/release.sh" --no-build
# The option (not the environment, as above) lets it through to the assembly,
# which here finds no programs to take.
env SIGNING_PFX="$pfx" SIGNING_TIMESTAMP_URL= BUILD_DIR="$tmp/none" DIST_DIR="$tmp/dist2" \
  bash "$root/scripts/release.sh" --no-build --no-timestamp >"$tmp/out" 2>&1
if grep -q "== assembling" "$tmp/out" && ! grep -q "RFC 3161" "$tmp/out"; then
  echo "ok   release.sh --no-timestamp: passes the check"
else
  echo "FAIL release.sh --no-timestamp:"; cat "$tmp/out"; failed=1
fi
exit $failed
