#!/usr/bin/env bash
# verify-signatures.sh PACKAGE CAFILE: the package and both programs inside it
# carry signatures that verify against CAFILE; a program altered afterwards fails.
set -euo pipefail
msi="$1" ca="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
msiextract -C "$work" "$msi" >/dev/null
mapfile -t programs < <(find "$work" -name '*.exe' | sort)
[ "${#programs[@]}" -eq 2 ] || { echo "expected 2 programs in the package, found ${#programs[@]}"; exit 1; }
for f in "$msi" "${programs[@]}"; do
  osslsigncode verify -CAfile "$ca" -in "$f" >"$work/out" 2>&1 || { cat "$work/out"; echo "FAILED: $f"; exit 1; }
  echo "$(basename "$f"): $(grep -m1 'Signature verification' "$work/out")"
done
cp "${programs[0]}" "$work/altered.exe"
byte=$(od -An -tu1 -j4096 -N1 "$work/altered.exe")
printf "\\$(printf %o $((byte ^ 255)))" | dd of="$work/altered.exe" bs=1 seek=4096 conv=notrunc status=none
cmp -s "${programs[0]}" "$work/altered.exe" && { echo "the program was not altered"; exit 1; }
if osslsigncode verify -CAfile "$ca" -in "$work/altered.exe" >"$work/out" 2>&1; then
  echo "an altered $(basename "${programs[0]}") still verifies"; exit 1
fi
echo "altered $(basename "${programs[0]}"): $(grep -m1 'Signature verification' "$work/out")"
