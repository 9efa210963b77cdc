#!/usr/bin/env bash
# Creates the Wine prefix named by QUORVANE_PREFIX (default: the test prefix) if
# it does not exist yet: a 64-bit prefix with its 32-bit side (SysWOW64,
# Program Files (x86), the 32-bit registry view), Tahoma, a CJK font for the
# faces Tahoma links to, Hebrew in Tahoma, no crash dialog, and
# Wine drawing the window frame itself since Xvfb has no window manager.
#
# prefix-init.sh --plain: a plain prefix for the language check instead, with
# nothing but what `wineboot -i` makes and the fonts that stand in for
# Windows' own (Tahoma with Hebrew, the CJK faces Tahoma links to), so that a
# maker can measure the texts as the tests do:
#   QUORVANE_PREFIX=/tmp/plain bash tools/prefix-init.sh --plain
#
# Each step is a function of its own, run by `step`, which keeps the step's
# output and shows it, with the step's name, when the step fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
plain=no
case "${1:-}" in
  --plain) plain=yes ;;
  "") ;;
  *) echo "usage: prefix-init.sh [--plain]" >&2; exit 2 ;;
esac
ready="$WINEPREFIX/.quorvane-ready"
[ "$plain" = no ] || ready="$WINEPREFIX/.quorvane-plain"
fonts="$WINEPREFIX/drive_c/windows/Fonts"
# A ready prefix is left as it is, unless its Tahoma was made before
# tools/extend-tahoma.py last changed (a script added): then only Tahoma is
# made again, below.
if [ -f "$ready" ] && [ "$fonts/tahoma.ttf" -nt "$top/tools/extend-tahoma.py" ]; then
  exit 0
fi

# step NAME FUNCTION [ARG...]: runs one step with its output kept. A step that
# failed before printing anything but Wine's own "wine..." lines never got
# going (Wine's start-up failed, as on a busy machine while the server was
# still busy with the previous step): it runs once more after every Wine
# process of the prefix has ended. Any other failure ends the script.
step() {
  local name="$1" out rc attempt
  shift
  out="$(mktemp)"
  for attempt in 1 2; do
    rc=0
    "$@" >"$out" 2>&1 </dev/null || rc=$?
    [ "$rc" -eq 0 ] && { rm -f "$out"; return 0; }
    grep -qv '^wine' "$out" && break
    [ "$attempt" -eq 2 ] && break
    echo "prefix-init.sh: $name: Wine did not start (exit $rc, no output of the step's own); once more" >&2
    "$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  done
  echo "prefix-init.sh: $name failed (exit $rc) in $WINEPREFIX; its output:" >&2
  sed 's/^/    /' "$out" >&2
  rm -f "$out"
  exit "$rc"
}

reg() { "$WINE" reg add "$@" /f; }

# A server left running in an old prefix (an earlier run that was stopped)
# would hold its files while the prefix is made anew.
end_old_server() {
  [ -d "$WINEPREFIX" ] || return 0
  "$WINESERVER" -k || true
  "$WINESERVER" -w
}

create_prefix() {
  rm -rf "$WINEPREFIX" && mkdir -p "$(dirname "$WINEPREFIX")" && "$WINE" wineboot -i
}

# wineboot -i returns while the new prefix's services are still finishing:
# until they have, a program started in the prefix can fail (a fresh prefix's
# first msiexec exited with 1).
wait_for_wine() { "$WINESERVER" -w; }

no_crash_dialog() { reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0; }

window_frame() {
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N &&
    reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y
}

dpi_96() { reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96; }

# Tahoma, with the Greek, Hebrew and Thai letters Windows' Tahoma has and Wine's lacks
# (tools/extend-tahoma.py, from Debian's DejaVu Sans and Loma).
tahoma() {
  local python=python3 tlwg=/usr/share/fonts/truetype/tlwg dejavu=/usr/share/fonts/truetype/dejavu
  "$python" -c "import fontTools" 2>/dev/null || python=/usr/bin/python3
  [ -f /usr/share/wine/fonts/tahoma.ttf ] || { echo "Tahoma is missing: tools/setup-machine.sh installs fonts-wine"; return 1; }
  [ -f "$tlwg/Loma.ttf" ] || { echo "Loma is missing: tools/setup-machine.sh installs fonts-tlwg-loma-ttf"; return 1; }
  "$python" "$top/tools/extend-tahoma.py" /usr/share/wine/fonts/tahoma.ttf "$fonts/tahoma.ttf" \
    greek="$dejavu/DejaVuSans.ttf" hebrew="$dejavu/DejaVuSans.ttf" latvian="$dejavu/DejaVuSans.ttf" thai="$tlwg/Loma.ttf" &&
    "$python" "$top/tools/extend-tahoma.py" /usr/share/wine/fonts/tahomabd.ttf "$fonts/tahomabd.ttf" \
      greek="$dejavu/DejaVuSans-Bold.ttf" hebrew="$dejavu/DejaVuSans-Bold.ttf" latvian="$dejavu/DejaVuSans-Bold.ttf" thai="$tlwg/Loma-Bold.ttf"
}

# Japanese and Chinese drawn with a CJK font where Tahoma has no glyphs.
cjk_fonts() { "$WINE" reg import "Z:${top//\//\\}\\tools\\cjk-fonts.reg" /reg:64; }

wow64_side() {
  [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] || {
    echo "the prefix has no SysWOW64 (is wine32 installed?)"; return 1; }
}

if [ -f "$ready" ]; then
  step "copy Tahoma" tahoma
  exit 0
fi
step "end the old prefix's server" end_old_server
step "create the prefix (wineboot -i)" create_prefix
step "wait for the new prefix's services (wineserver -w)" wait_for_wine
if [ "$plain" = no ]; then
  step "turn the crash dialog off" no_crash_dialog
  step "let Wine draw the window frame" window_frame
  step "set 96 DPI" dpi_96
fi
step "copy Tahoma" tahoma
step "map the CJK faces to an installed CJK font" cjk_fonts
step "wait for the registry to be saved (wineserver -w)" wait_for_wine
[ "$plain" = yes ] || step "check the 32-bit side" wow64_side
touch "$ready"
