#!/usr/bin/env bash
# Installs what building and running Quorvane needs on a Debian 12 machine:
# the MinGW-w64 cross compilers, Wine with its 32-bit side (a WoW64 prefix, as
# every 64-bit Windows has), Tahoma, Xvfb, the build tools and the packaging and
# signing tools (wixl, msitools, osslsigncode, openssl). Safe to run again:
# it installs only what is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 wine32:i386 fonts-wine
  xvfb x11-utils imagemagick
  cmake ninja-build googletest python3
  clang cppcheck
  wixl msitools osslsigncode openssl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
