#!/usr/bin/env bash
# Prepares the demo machine: a Wine prefix (<build>/wine/demo-prefix) that looks
# like a computer with Velmora's utilities pre-installed, so the launcher shows
# every category. Safe to run again; it refreshes what it installed.
#
#  - every program the catalogue (res/catalogue.txt) names: a stand-in
#    (tools/standin) at each absolute path, %PROGRAMFILES% being
#    C:\Program Files, and at C:\windows\system32\<name> for bare names
#    (standin.cpl for Control Panel files, standin.exe otherwise);
#  - the rows' icon files (a drawn .ico), a bare name next to its program;
#  - the support address in HKLM\Software\Velmora\Kivano\SS (64-bit view); no
#    Help value, so Help opens the user's guide C:\Docs\UserGuide.pdf;
#  - .pdf documents and http/https addresses opened by stand-ins
#    (C:\Demo\DocumentViewer.exe, C:\Demo\WebBrowser.exe), so Help and Web
#    site visibly do something.
#
# Needs the build (tools/build.sh): the stand-ins come from <build>/tools/standin.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
export QUORVANE_BUILD="${QUORVANE_BUILD:-$top/build}"
export QUORVANE_PREFIX="$QUORVANE_BUILD/wine/demo-prefix"
# Keep Wine from copying the demo's file associations and menu entries onto
# the Linux desktop.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
source "$top/tools/wine-env.sh"

support_url="https://www.velmora.example/support/"
standin_exe="$QUORVANE_BUILD/tools/standin/standin.exe"
standin_cpl="$QUORVANE_BUILD/tools/standin/standin.cpl"
for f in "$standin_exe" "$standin_cpl"; do
  [ -f "$f" ] || { echo "demo-machine.sh: $f is missing: build first (bash tools/build.sh)" >&2; exit 1; }
done

bash "$top/tools/prefix-init.sh"
drive_c="$WINEPREFIX/drive_c"
system32="$drive_c/windows/system32"

# Files installed by the previous run go first, so rows removed from the
# catalogue since then leave nothing behind.
installed="$WINEPREFIX/.quorvane-demo-files"
if [ -f "$installed" ]; then
  while IFS= read -r f; do
    [ -n "$f" ] && rm -f "$drive_c/$f"
  done <"$installed"
fi
: >"$installed"

# A Windows path with the usual variables expanded, as a path below drive_c
# (relative, forward slashes). Prints nothing for what is not on drive C:.
unix_path() {
  python3 - "$1" <<'PY'
import re, sys
known = {
    "PROGRAMFILES": r"C:\Program Files", "PROGRAMW6432": r"C:\Program Files",
    "PROGRAMFILES(X86)": r"C:\Program Files (x86)",
    "COMMONPROGRAMFILES": r"C:\Program Files\Common Files",
    "SYSTEMROOT": r"C:\windows", "WINDIR": r"C:\windows",
    "PROGRAMDATA": r"C:\ProgramData", "SYSTEMDRIVE": "C:",
}
# Variable names are case-blind on Windows.
p = re.sub(r"%([^%]+)%", lambda m: known.get(m.group(1).upper(), m.group(0)), sys.argv[1])
if re.match(r"[cC]:\\", p):
    print(p[3:].replace("\\", "/"))
PY
}

# install SOURCE RELATIVE-TARGET: copies and records the file.
install_file() {
  mkdir -p "$(dirname "$drive_c/$2")"
  cp "$1" "$drive_c/$2"
  printf '%s\n' "$2" >>"$installed"
}

standin_for() {
  case "${1,,}" in
    *.cpl) printf '%s\n' "$standin_cpl" ;;
    *) printf '%s\n' "$standin_exe" ;;
  esac
}

icon_file="$(mktemp --suffix=.ico)"
trap 'rm -f "$icon_file" "${reg_file:-}"' EXIT
python3 "$top/tools/standin/make-icon.py" "$icon_file" 3a9a4a

programs=0
while IFS=$'\x1f' read -r t program arguments icon; do
  [ -n "$program" ] || continue
  if [[ "$program" == *\\* ]]; then
    target="$(unix_path "$program")"
    if [ -z "$target" ]; then
      echo "demo-machine.sh: row $t: $program is not on drive C:, left out" >&2
      continue
    fi
  else
    target="windows/system32/$program"
  fi
  install_file "$(standin_for "$program")" "$target"
  programs=$((programs + 1))
  if [ -n "$icon" ]; then
    if [[ "$icon" == *\\* ]]; then
      icon_target="$(unix_path "$icon")"
    else
      icon_target="$(dirname "$target")/$icon"
    fi
    if [ -n "$icon_target" ]; then
      case "${icon,,}" in
        *.ico) install_file "$icon_file" "$icon_target" ;;
        *) install_file "$standin_exe" "$icon_target" ;;
      esac
    fi
  fi
done < <(python3 "$top/tools/gen-strings.py" --list "$top/res/strings.txt" "$top/res/catalogue.txt")

# The document viewer and web browser of the demo machine.
install_file "$standin_exe" "Demo/DocumentViewer.exe"
install_file "$standin_exe" "Demo/WebBrowser.exe"

# The user's guide: a one-page PDF.
mkdir -p "$drive_c/Docs"
python3 - "$drive_c/Docs/UserGuide.pdf" <<'EOF'
import sys
text = "Velmora computer - User's Guide (demo machine)"
stream = f"BT /F1 18 Tf 72 720 Td ({text}) Tj ET".encode()
objects = [
    b"<< /Type /Catalog /Pages 2 0 R >>",
    b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
    b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
    b"/Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>",
    b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream",
]
out = bytearray(b"%PDF-1.4\n")
offsets = []
for n, body in enumerate(objects, 1):
    offsets.append(len(out))
    out += b"%d 0 obj\n" % n + body + b"\nendobj\n"
xref = len(out)
out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
open(sys.argv[1], "wb").write(out)
EOF
printf '%s\n' "Docs/UserGuide.pdf" >>"$installed"

# Registry, in one import into the 64-bit view (the launcher is a 64-bit
# program; HKCR is shared by both views).
reg_file="$(mktemp --suffix=.reg)"
cat >"$reg_file" <<EOF
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Velmora\\Kivano\\SS]
"URL"="$support_url"

[-HKEY_LOCAL_MACHINE\\Software\\Velmora\\Kivano\\Help]

[HKEY_CLASSES_ROOT\\.pdf]
@="QuorvaneDemo.Document"

[HKEY_CLASSES_ROOT\\QuorvaneDemo.Document]
@="PDF document"

[HKEY_CLASSES_ROOT\\QuorvaneDemo.Document\\shell\\open\\command]
@="\\"C:\\\\Demo\\\\DocumentViewer.exe\\" \\"%1\\""

[HKEY_CLASSES_ROOT\\http]
"URL Protocol"=""

[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]
@="\\"C:\\\\Demo\\\\WebBrowser.exe\\" \\"%1\\""

[HKEY_CLASSES_ROOT\\https]
"URL Protocol"=""

[HKEY_CLASSES_ROOT\\https\\shell\\open\\command]
@="\\"C:\\\\Demo\\\\WebBrowser.exe\\" \\"%1\\""
EOF
# Japanese and Chinese drawn with a CJK font where Tahoma has no glyphs.
tail -n +2 "$top/tools/cjk-fonts.reg" >>"$reg_file"
"$WINE" reg import "Z:${reg_file//\//\\}" /reg:64 \
  >/dev/null 2>&1 </dev/null || {
  echo "demo-machine.sh: importing the registry settings failed" >&2; exit 1; }

echo "Demo machine ready: $WINEPREFIX"
echo "  $programs utilities (stand-ins), Web site -> $support_url, Help -> C:\\Docs\\UserGuide.pdf"
