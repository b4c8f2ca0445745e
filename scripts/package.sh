#!/usr/bin/env bash
# Builds the release files from a clean tree into dist/:
#   Lumatrove-<version>-x64.zip and -x86.zip  the programs, the help file and a read-me, portable
#   Lumatrove-<version>-setup.exe             the installer (NSIS), for 32- and 64-bit Windows
#   SHA256SUMS                                the checksums of the three
#   winget/, scoop/                           the package manifests, with those checksums
# The version is the one of src/version.h. The manifests' download addresses are
# $LUMATROVE_DOWNLOAD_BASE/<version>/<file> (default https://korvalworks.com/lumatrove/download).
# With LUMATROVE_SIGN_PFX and LUMATROVE_SIGN_PASS set, the programs, the installer and its
# uninstaller are signed (scripts/sign.sh; LUMATROVE_SIGN_TIMESTAMP names the time-stamp
# server); otherwise the read-me says that the build is not signed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
jobs=$(nproc)
version=$(sed -n 's/^#define LUMATROVE_VERSION_TEXT "\(.*\)"$/\1/p' src/version.h)
dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"

# Release programs: stripped, statically linked as always.
build() {  # build <folder> <toolchain> <strip>
  cmake -S . -B "$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/$2.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DLUMATROVE_TESTS=OFF -DLUMATROVE_WERROR=ON >/dev/null
  cmake --build "$1" -j "$jobs" --target lumatrove lumatrove_console help_file >/dev/null
  "$3" -s -o "$1/lumatrove-stripped.exe" "$1/bin/lumatrove.exe"
  "$3" -s -o "$1/lumatrove-stripped.com" "$1/bin/lumatrove.com"
}
build build/release-x64 mingw-w64-x86_64 x86_64-w64-mingw32-strip
build build/release-x86 mingw-w64-i686 i686-w64-mingw32-strip
help="build/release-x64/bin/Lumatrove使用手冊.chm"

readme="$dist/.readme.txt"
cp packaging/讀我.txt "$readme"
sign=()
if [ -n "${LUMATROVE_SIGN_PFX:-}" ] && [ -n "${LUMATROVE_SIGN_PASS+set}" ]; then
  scripts/sign.sh build/release-x64/lumatrove-stripped.exe build/release-x64/lumatrove-stripped.com \
    build/release-x86/lumatrove-stripped.exe build/release-x86/lumatrove-stripped.com
  sign=(-DSIGN="$root/scripts/sign.sh")
else
  printf '\r\n這個版本的程式沒有數位簽章。\r\n' >>"$readme"
fi

# The portable zips: one folder with the program, the help file and the read-me.
for arch in x64 x86; do
  stage="build/release-$arch/zip/Lumatrove"
  rm -rf "build/release-$arch/zip"
  mkdir -p "$stage"
  cp "build/release-$arch/lumatrove-stripped.exe" "$stage/lumatrove.exe"
  cp "build/release-$arch/lumatrove-stripped.com" "$stage/lumatrove.com"
  cp "$help" "$stage/"
  cp "$readme" "$stage/讀我.txt"
  (cd "build/release-$arch/zip" && zip -q -X -r "$dist/Lumatrove-$version-$arch.zip" Lumatrove)
done

makensis -V2 -DVERSION="$version" \
  -DX64EXE="$root/build/release-x64/lumatrove-stripped.exe" \
  -DX86EXE="$root/build/release-x86/lumatrove-stripped.exe" \
  -DX64COM="$root/build/release-x64/lumatrove-stripped.com" \
  -DX86COM="$root/build/release-x86/lumatrove-stripped.com" \
  -DHELP="$root/$help" -DREADME="$readme" "${sign[@]}" \
  -DOUTFILE="$dist/Lumatrove-$version-setup.exe" packaging/lumatrove.nsi
rm -f "$readme"

(cd "$dist" && sha256sum "Lumatrove-$version-x64.zip" "Lumatrove-$version-x86.zip" \
  "Lumatrove-$version-setup.exe" >SHA256SUMS)
python3 scripts/make_manifests.py --version "$version" \
  --base-url "${LUMATROVE_DOWNLOAD_BASE:-https://korvalworks.com/lumatrove/download}" \
  --setup "$dist/Lumatrove-$version-setup.exe" --zip-x64 "$dist/Lumatrove-$version-x64.zip" \
  --zip-x86 "$dist/Lumatrove-$version-x86.zip" --out "$dist"
ls -lR "$dist"
