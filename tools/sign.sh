#!/usr/bin/env bash
# tools/sign.sh FILE...: signs each program (.exe) or package (.msi) in place
# with an Authenticode SHA-256 signature (osslsigncode).
#
# The certificate and its key come from the environment:
#   QUORVANE_SIGN_PKCS12     a PKCS#12 (.pfx/.p12) file with the certificate, its chain and key
#   QUORVANE_SIGN_PASSWORD   the file's password
#   QUORVANE_SIGN_TIMESTAMP  optional: a time-stamping server's URL (keeps signatures
#                            valid after the certificate expires)
# Without QUORVANE_SIGN_PKCS12 it signs with a throwaway self-signed test
# certificate, made with openssl in <build>/signing/ and kept there for the
# build's later runs; it says so. Windows does not trust that certificate:
# it is for checking the signing, never for shipping. Check a signature with
#   osslsigncode verify -CAfile <build>/signing/test-cert.pem -in FILE
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUORVANE_BUILD:-$top/build}"

if [ $# -eq 0 ]; then
  echo "usage: tools/sign.sh FILE..." >&2
  exit 2
fi
for f in "$@"; do
  [ -f "$f" ] || { echo "sign.sh: no file $f" >&2; exit 2; }
done
command -v osslsigncode >/dev/null || { echo "sign.sh: osslsigncode is missing (tools/setup-machine.sh installs it)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
umask 077

if [ -n "${QUORVANE_SIGN_PKCS12:-}" ]; then
  pkcs12="$QUORVANE_SIGN_PKCS12"
  [ -f "$pkcs12" ] || { echo "sign.sh: QUORVANE_SIGN_PKCS12 names no file: $pkcs12" >&2; exit 2; }
  printf '%s' "${QUORVANE_SIGN_PASSWORD:-}" >"$work/pass"
  echo "sign.sh: signing with $pkcs12"
else
  # The test certificate: made once per build tree, again when it is about to expire.
  dir="$build/signing"
  cert="$dir/test-cert.pem"
  pkcs12="$dir/test-cert.p12"
  if [ ! -f "$pkcs12" ] || ! openssl x509 -in "$cert" -noout -checkend 86400 >/dev/null 2>&1; then
    mkdir -p "$dir"
    openssl req -x509 -newkey rsa:3072 -sha256 -days 365 -nodes \
      -subj "/O=Velmora (test)/CN=Quorvane test signing - not trusted" \
      -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
      -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/test-cert.p12" \
      -passout pass:test
    mv "$work/test-cert.p12" "$pkcs12"
    mv "$work/cert.pem" "$cert"
  fi
  printf 'test' >"$work/pass"
  echo "sign.sh: no QUORVANE_SIGN_PKCS12 given: signing with a throwaway self-signed TEST certificate ($cert), not trusted by Windows"
fi

extra=()
[ -n "${QUORVANE_SIGN_TIMESTAMP:-}" ] && extra+=(-ts "$QUORVANE_SIGN_TIMESTAMP")
for f in "$@"; do
  out="$work/signed"
  rm -f "$out"
  if ! osslsigncode sign -pkcs12 "$pkcs12" -readpass "$work/pass" -h sha256 -n "Quorvane" \
      "${extra[@]}" -in "$f" -out "$out" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    echo "sign.sh: could not sign $f" >&2
    exit 1
  fi
  cat "$out" >"$f"
  echo "sign.sh: signed $f"
done
