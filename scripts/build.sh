#!/usr/bin/env bash
# Builds the native tree (tools, unit tests) and then the Windows product for
# both architectures, which embeds what the native tools generate:
#   build/win32/lumatrek-setup.exe  32-bit program (i686), for 32-bit Windows
#   build/win64/lumatrek-setup.exe  64-bit program (x86_64), for 64-bit Windows
# each with the end-to-end helper programs of its own architecture.
# SIGNING_PFX=<file> (password in LUMATREK_SIGNING_PASSWORD) signs the catalogs,
# plug-ins and programs with that certificate, SIGNING_TIMESTAMP_URL adds an
# RFC 3161 time stamp, which a PFX needs unless SIGNING_NO_TIMESTAMP=1 says on
# purpose that the signatures may stop verifying when the certificate expires
# (cmake/signing_timestamp.cmake); without a PFX a throw-away certificate signs
# the catalogs.
#
# The build is reproducible: the same commit, SOURCE_DATE_EPOCH (default: the
# commit's time) and signing input (none, or a PFX without a time stamp) give
# the same programs, plug-ins and archives in any folder, apart from what the
# throw-away certificate signs. BUILD_SCOPE=release builds only those (no
# tests, no helpers); THIRD_PARTY_DIR names a folder where minizip's sources
# were already unpacked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=$(nproc)
signing=(-DSIGNING_PFX="${SIGNING_PFX:-}" -DSIGNING_TIMESTAMP_URL="${SIGNING_TIMESTAMP_URL:-}"
  -DSIGNING_NO_TIMESTAMP="${SIGNING_NO_TIMESTAMP:-OFF}")
cmake "${signing[@]}" -P "$root/cmake/signing_timestamp.cmake"  # refused before anything is built
minizip=$("$root/scripts/fetch-minizip.sh" "${THIRD_PARTY_DIR:-$build/third_party}")
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1704067200)  # else 2024-01-01
fi
export SOURCE_DATE_EPOCH
native_targets=() product_targets=()
if [ "${BUILD_SCOPE:-all}" = release ]; then
  native_targets=(--target archives pictures)
  product_targets=(--target lumatrek-setup)
fi

cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMINIZIP_SRC_DIR="$minizip" \
  -DSOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" "${signing[@]}" >/dev/null
cmake --build "$build/native" -j "$jobs" "${native_targets[@]}"

for target in win32:mingw-i686 win64:mingw-x86_64; do
  dir=${target%%:*}
  cmake -S "$root" -B "$build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/${target#*:}.cmake" \
    -DMINIZIP_SRC_DIR="$minizip" -DGENERATED_DIR="$build/native/generated" "${signing[@]}" \
    -DSOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" >/dev/null
  cmake --build "$build/$dir" -j "$jobs" "${product_targets[@]}"
done
