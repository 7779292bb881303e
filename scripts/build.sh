#!/usr/bin/env bash
# Builds the native tree (tools, unit tests) and then the Windows product,
# which embeds what the native tools generate.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=$(nproc)
minizip=$("$root/scripts/fetch-minizip.sh" "$build/third_party")

cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMINIZIP_SRC_DIR="$minizip" >/dev/null
cmake --build "$build/native" -j "$jobs"

cmake -S "$root" -B "$build/win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DMINIZIP_SRC_DIR="$minizip" -DGENERATED_DIR="$build/native/generated" >/dev/null
cmake --build "$build/win32" -j "$jobs"
