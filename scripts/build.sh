#!/usr/bin/env bash
# Builds the native tree (tools, unit tests) and then the Windows product for
# both architectures, which embeds what the native tools generate:
#   build/win32/lumatrek-setup.exe  32-bit program (i686), for 32-bit Windows
#   build/win64/lumatrek-setup.exe  64-bit program (x86_64), for 64-bit Windows
# each with the end-to-end helper programs of its own architecture.
# SIGNING_PFX=<file> (password in LUMATREK_SIGNING_PASSWORD) signs the catalogs,
# plug-ins and programs with that certificate, SIGNING_TIMESTAMP_URL adds an
# RFC 3161 time stamp; without a PFX a throw-away certificate signs the catalogs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=$(nproc)
minizip=$("$root/scripts/fetch-minizip.sh" "$build/third_party")
signing=(-DSIGNING_PFX="${SIGNING_PFX:-}" -DSIGNING_TIMESTAMP_URL="${SIGNING_TIMESTAMP_URL:-}")

cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMINIZIP_SRC_DIR="$minizip" "${signing[@]}" >/dev/null
cmake --build "$build/native" -j "$jobs"

for target in win32:mingw-i686 win64:mingw-x86_64; do
  dir=${target%%:*}
  cmake -S "$root" -B "$build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/${target#*:}.cmake" \
    -DMINIZIP_SRC_DIR="$minizip" -DGENERATED_DIR="$build/native/generated" "${signing[@]}" >/dev/null
  cmake --build "$build/$dir" -j "$jobs"
done
