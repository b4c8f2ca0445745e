#!/usr/bin/env bash
# Signing end to end: a throwaway self-made code-signing certificate signs the window and
# console programs with scripts/sign.sh and an installer built with -DSIGN (whose uninstaller
# is signed inside it); osslsigncode verifies each signature, and the signed programs and
# the installed uninstaller still run under Wine.
# signing_test.sh <source dir> <build dir> <help file>
set -euo pipefail
source=$1
build=$2
help=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Lumatrove Test Signing" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
  2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:throwaway \
  -out "$work/sign.pfx"
export LUMATROVE_SIGN_PFX="$work/sign.pfx" LUMATROVE_SIGN_PASS=throwaway LUMATROVE_SIGN_TIMESTAMP=

verify() {
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.txt" 2>&1 ||
    { cat "$work/verify.txt"; fail "signature of $1"; }
}

mkdir "$work/bin"
cp "$build/bin/lumatrove.exe" "$build/bin/lumatrove.com" "$work/bin/"
"$source/scripts/sign.sh" "$work/bin/lumatrove.exe" "$work/bin/lumatrove.com"
verify "$work/bin/lumatrove.exe"
verify "$work/bin/lumatrove.com"
# A file that is not what it was signed as no longer verifies.
cp "$work/bin/lumatrove.com" "$work/tampered.com"
printf 'x' | dd of="$work/tampered.com" bs=1 seek=2000 conv=notrunc 2>/dev/null
! osslsigncode verify -CAfile "$work/cert.pem" -in "$work/tampered.com" >/dev/null 2>&1 ||
  fail "a changed program still verifies"

# The signed console program runs the signed window program.
version=$(cd "$work/bin" && "$build/wine-run.sh" lumatrove.com --version | tr -d '\r')
[ "$version" = "Lumatrove $(sed -n 's/^#define LUMATROVE_VERSION_TEXT "\(.*\)"$/\1/p' \
  "$source/src/version.h")" ] || fail "signed programs say '$version'"

makensis -V1 -DAMD64_STUB -DVERSION=0.0.1 -DX64EXE="$work/bin/lumatrove.exe" \
  -DX86EXE="$work/bin/lumatrove.exe" -DX64COM="$work/bin/lumatrove.com" \
  -DX86COM="$work/bin/lumatrove.com" -DHELP="$help" -DREADME="$source/packaging/讀我.txt" \
  -DSIGN="$source/scripts/sign.sh" -DOUTFILE="$work/setup.exe" "$source/packaging/lumatrove.nsi"
verify "$work/setup.exe"
target='C:\lumatrove-signing-test'
"$build/wine-run.sh" "$work/setup.exe" /S "/D=$target"
installed=$(WINEPREFIX="${LUMATROVE_WINEPREFIX:-$build/wineprefix}" winepath -u "$target" 2>/dev/null)
[ -f "$installed/uninstall.exe" ] || fail "the signed installer did not install"
verify "$installed/uninstall.exe"
"$build/wine-run.sh" "$installed/uninstall.exe" /S "_?=$target"
[ ! -f "$installed/lumatrove.exe" ] || fail "the signed uninstaller did not run"
rm -rf "$installed"
echo "signatures verified"
