#!/usr/bin/env bash
# bash tools/screens.sh OUTDIR [EXE [LOCALE...]]
#
# Screenshots of the launcher's window on the demo machine at 96, 120 and 144
# DPI, one PNG per locale and DPI (OUTDIR/<locale>-<dpi>.png), to compare two
# builds pixel for pixel:
#   bash tools/screens.sh /tmp/before old/Quorvane.exe en_US de_DE
#   bash tools/screens.sh /tmp/after build/app/Quorvane.exe en_US de_DE
#   for f in /tmp/before/*.png; do compare -metric AE "$f" "/tmp/after/${f##*/}" null: 2>&1; echo " ${f##*/}"; done
# EXE defaults to the build's launcher, LOCALE to en_US. The demo machine of
# the build folder (QUORVANE_BUILD, default build/) is prepared if needed; the
# DPI is set in its registry and put back to 96 at the end.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
[ $# -ge 1 ] || { echo "usage: bash tools/screens.sh OUTDIR [EXE [LOCALE...]]" >&2; exit 2; }
out="$(mkdir -p "$1" && cd "$1" && pwd)"
exe="$(realpath "${2:-build/app/Quorvane.exe}")"
shift $(( $# >= 2 ? 2 : 1 ))
locales=("$@")
[ ${#locales[@]} -gt 0 ] || locales=(en_US)

source tools/utf8-locale.sh
export QUORVANE_BUILD="${QUORVANE_BUILD:-$top/build}"
state="$QUORVANE_BUILD/wine"
export QUORVANE_PREFIX="$state/demo-prefix"
own_xvfb=0
if ! { [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; }; then
  bash tools/xvfb.sh start
  own_xvfb=1
fi
bash tools/demo-machine.sh >/dev/null
source tools/wine-env.sh
installed="$WINEPREFIX/drive_c/Program Files/Velmora/Quorvane/Quorvane.exe"
mkdir -p "$(dirname "$installed")"
cp "$exe" "$installed"

set_dpi() {
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  "$WINE" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
cleanup() {
  set_dpi 96 || true
  bash tools/wine-session.sh stop
  [ "$own_xvfb" -eq 0 ] || bash tools/xvfb.sh stop
}
trap cleanup EXIT
bash tools/wine-session.sh start

for locale_name in "${locales[@]}"; do
  for dpi in 96 120 144; do
    set_dpi "$dpi"
    LC_ALL="${locale_name%%@*}.UTF-8${locale_name#"${locale_name%%@*}"}" "$WINE" 'C:\Program Files\Velmora\Quorvane\Quorvane.exe' >/dev/null 2>&1 </dev/null &
    pid=$!
    window=""
    for _ in $(seq 200); do
      window="$(xwininfo -root -tree 2>/dev/null | awk '/"Quorvane": \(/ { print $1; exit }')"
      [ -n "$window" ] && break
      sleep 0.1
    done
    [ -n "$window" ] || { echo "screens.sh: no window for $locale_name at $dpi DPI" >&2; kill "$pid"; exit 1; }
    # Settled: two captures a moment apart are the same.
    previous=""
    for _ in $(seq 50); do
      sleep 0.3
      import -window "$window" "$out/$locale_name-$dpi.png" 2>/dev/null || continue
      sum="$(md5sum <"$out/$locale_name-$dpi.png")"
      [ "$sum" = "$previous" ] && break
      previous="$sum"
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    for _ in $(seq 100); do   # the window gone before the next start
      xwininfo -root -tree 2>/dev/null | grep -q '"Quorvane": (' || break
      sleep 0.1
    done
    echo "$out/$locale_name-$dpi.png"
  done
done
