#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages.
# Usage: scripts/install-deps.sh [--native]   (--native: skip the Windows cross
# compilers and Wine)
set -euo pipefail

native_only=0
[ "${1:-}" = "--native" ] && native_only=1

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

native=(build-essential cmake ninja-build pkg-config git python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libqrencode-dev libqrcodegencpp-dev
  libzbar-dev zbar-tools libzxing-dev zxing-cpp-tools
  emf2svg librsvg2-bin imagemagick)
windows=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest wine wine32:i386 wine64
  xvfb xauth xdotool imagemagick locales fonts-wqy-microhei)

if [ "$native_only" -eq 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
pkgs=("${native[@]}")
[ "$native_only" -eq 0 ] && pkgs+=("${windows[@]}")
$SUDO apt-get install -y -q --no-install-recommends "${pkgs[@]}"
