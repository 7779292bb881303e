#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's archive only.
# Safe to run again: it skips the work when every package is already present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  libz-mingw-w64-dev zlib1g-dev libgtest-dev
  libpng-dev libfreetype-dev fonts-wqy-microhei
  wine wine32 wine64 xvfb x11-apps imagemagick
  iproute2 util-linux clang libclang-rt-14-dev python3 unzip
)

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# minizip is taken from Debian's source package; apt needs a deb-src entry for that.
need_src=1
if grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ || grep -qs '^deb-src' /etc/apt/sources.list; then
  need_src=0
fi

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

if [ $need_src -eq 1 ]; then
  # Derive a deb-src entry from the machine's own apt sources.
  src=/etc/apt/sources.list.d/lumatrek-deb-src.sources
  tmp=$(mktemp)
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$tmp"
  else
    grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > "$tmp"
    src=/etc/apt/sources.list.d/lumatrek-deb-src.list
  fi
  $SUDO cp "$tmp" "$src"; rm -f "$tmp"
fi

$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"
