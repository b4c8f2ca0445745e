#!/usr/bin/env bash
# Installs what building and testing Lumatrove needs on Debian (12 or later).
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev googletest libbenchmark-dev libpugixml-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev g++-mingw-w64-i686-posix mingw-w64-i686-dev
  wine wine64 xvfb x11-apps xdotool imagemagick fonts-arphic-uming fonts-wine fp-utils python3 python3-yaml nsis zip
  osslsigncode openssl
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The 32-bit Windows tests need wine32, installed only where 32-bit programs run.
"$(dirname "$0")/wine32.sh" setup
