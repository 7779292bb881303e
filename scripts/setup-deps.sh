#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's archive only.
# Safe to run again: it skips the work when every package is already present.
# Where the kernel runs 32-bit code, 32-bit Wine (wine32, from the i386
# architecture) comes too; where it runs none, nothing of i386 is added, since
# none of it could run and its package scripts would fail.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=machine.sh
source "$root/scripts/machine.sh"

PACKAGES=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev zlib1g-dev libgtest-dev
  libpng-dev libfreetype-dev fonts-wqy-microhei
  wine wine64 xvfb x11-apps imagemagick locales
  iproute2 util-linux clang libclang-rt-14-dev python3 unzip
  libssl-dev openssl osslsigncode
)
if [ "$LUMATREK_RUNS_32BIT" = yes ]; then PACKAGES+=(wine32:i386); fi

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

# Wine shows its Chinese texts in code page 936 under zh_CN.UTF-8, and the
# end-to-end suite also runs an English user (en_US.UTF-8, code page 1252);
# with the locales generated, nothing warns that they are missing.
need_locale=0
for wanted in zh_CN.utf8 en_US.utf8; do
  locale -a 2>/dev/null | grep -qix "$wanted" || need_locale=1
done

if [ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ] && [ $need_locale -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [ "$LUMATREK_RUNS_32BIT" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
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

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"
fi

if [ $need_locale -eq 1 ]; then
  for wanted in zh_CN en_US; do
    if ! grep -qs "^$wanted.UTF-8 UTF-8" /etc/locale.gen; then
      echo "$wanted.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
  done
  $SUDO locale-gen >/dev/null
fi
