#!/usr/bin/env bash
# Creates the Wine prefix named by QUORVANE_PREFIX (default: the test prefix) if
# it does not exist yet: a 64-bit prefix with its 32-bit side (SysWOW64,
# Program Files (x86), the 32-bit registry view), Tahoma, no crash dialog, and
# Wine drawing the window frame itself since Xvfb has no window manager.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ -f "$WINEPREFIX/.quorvane-ready" ]; then
  exit 0
fi
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
"$WINE" wineboot -i >/dev/null 2>&1 </dev/null
reg() { "$WINE" reg add "$@" /f >/dev/null 2>&1 </dev/null; }
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y
reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96
fonts="$WINEPREFIX/drive_c/windows/Fonts"
for f in tahoma.ttf tahomabd.ttf; do
  [ -f "$fonts/$f" ] || cp "/usr/share/wine/fonts/$f" "$fonts/" 2>/dev/null || true
done
# Japanese and Chinese drawn with a CJK font where Tahoma has no glyphs.
"$WINE" reg import "Z:${top//\//\\}\\tools\\cjk-fonts.reg" /reg:64 >/dev/null 2>&1 </dev/null
"$WINESERVER" -w
[ -d "$WINEPREFIX/drive_c/windows/syswow64" ] || {
  echo "prefix-init.sh: the prefix has no SysWOW64 (is wine32 installed?)" >&2; exit 1; }
touch "$WINEPREFIX/.quorvane-ready"
