#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (osslsigncode): sign.sh <file>...
#   LUMATROVE_SIGN_PFX        the code-signing certificate and key (PKCS#12)
#   LUMATROVE_SIGN_PASS       its password
#   LUMATROVE_SIGN_TIMESTAMP  an RFC 3161 time-stamp server, so that the signature outlives the
#                             certificate; "" signs without one (default
#                             http://timestamp.digicert.com)
set -euo pipefail
: "${LUMATROVE_SIGN_PFX:?names the certificate (PKCS#12)}"
: "${LUMATROVE_SIGN_PASS?is the password of the certificate}"
timestamp=${LUMATROVE_SIGN_TIMESTAMP-http://timestamp.digicert.com}
# The password goes through a file of this user's only, never on a command line.
secret=$(mktemp)
trap 'rm -f "$secret"' EXIT
chmod 600 "$secret"
printf '%s' "$LUMATROVE_SIGN_PASS" >"$secret"
for file in "$@"; do
  args=(sign -pkcs12 "$LUMATROVE_SIGN_PFX" -readpass "$secret" -h sha256 -n Lumatrove
        -i https://korvalworks.com/lumatrove/index.html -in "$file" -out "$file.signed")
  [ -z "$timestamp" ] || args+=(-ts "$timestamp")
  if ! osslsigncode "${args[@]}" >/dev/null; then
    rm -f "$file.signed"
    echo "sign.sh: cannot sign $file" >&2
    exit 1
  fi
  mv "$file.signed" "$file"
done
