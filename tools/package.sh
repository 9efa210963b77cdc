#!/usr/bin/env bash
# tools/package.sh [--version X.Y.Z] [--output FILE]: builds the signed Windows
# Installer package of the programs in the build tree (<build>/app/Quorvane.exe
# and quorvane-check.exe, with the package's custom actions in
# <build>/installer/quorvane-actions.dll, which must be built already; the build
# runs this script itself and leaves <build>/Quorvane-<version>-x64.msi).
#   --version  the package's version; default: the build's (major.minor.build,
#              which the programs' version resources carry too; a build
#              numbered 0 gets no package). Another one makes a package whose
#              version differs from its programs': for tests only (an older
#              version or build to upgrade from or refuse).
#   --output   where the package goes; default: <build>/Quorvane-<version>-x64.msi
# The programs and the actions are signed in a staging folder beside the
# output, put in the package with wixl (installer/Quorvane.wxs, then
# installer/fixups.sql through msibuild), and the package is signed:
# tools/sign.sh says with what.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUORVANE_BUILD:-$top/build}"
export QUORVANE_BUILD="$build"

version=""
output=""
while [ $# -gt 0 ]; do
  case "$1" in
    --version) version="${2:-}"; shift 2 || break ;;
    --output) output="${2:-}"; shift 2 || break ;;
    *) echo "usage: tools/package.sh [--version X.Y.Z] [--output FILE]" >&2; exit 2 ;;
  esac
done
built="$(sed -n 's/^QUORVANE_VERSION:INTERNAL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)"
[ -n "$built" ] || { echo "package.sh: no configured build in $build (run tools/build.sh)" >&2; exit 2; }
if [ -z "$version" ]; then
  version="$built"
  # A build numbered 0 has a release's version (installer/CMakeLists.txt).
  if [[ "$built" =~ \.0$ ]]; then
    echo "package.sh: this build is numbered 0 (version $built, a release's): it gets no package." \
         "Build from a clone with its whole history, or configure with -DQUORVANE_BUILD_NUMBER=<n>." >&2
    exit 2
  fi
elif [ "$version" != "$built" ]; then
  echo "package.sh: note: version $version differs from the programs' $built (a package for tests)"
fi
# Windows Installer compares major.minor.build, at most 255.255.65535.
if ! [[ "$version" =~ ^([0-9]{1,3})\.([0-9]{1,3})\.([0-9]{1,5})$ ]] ||
   [ "${BASH_REMATCH[1]}" -gt 255 ] || [ "${BASH_REMATCH[2]}" -gt 255 ] || [ "${BASH_REMATCH[3]}" -gt 65535 ]; then
  echo "package.sh: version must be major.minor.build (at most 255.255.65535), not '$version'" >&2
  exit 2
fi
output="${output:-$build/Quorvane-$version-x64.msi}"

for tool in wixl msibuild msiinfo; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (tools/setup-machine.sh installs it)" >&2; exit 1; }
done
programs=("$build/app/Quorvane.exe" "$build/app/quorvane-check.exe")
actions="$build/installer/quorvane-actions.dll"
for p in "${programs[@]}" "$actions"; do
  [ -f "$p" ] || { echo "package.sh: $p is not built (run tools/build.sh)" >&2; exit 1; }
done

mkdir -p "$(dirname "$output")"
output="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"
stage="${output%.msi}.stage"
rm -rf "$stage"
mkdir -p "$stage/programs"
cp "${programs[@]}" "$stage/programs/"
cp "$actions" "$stage/"
bash "$top/tools/sign.sh" "$stage/programs/Quorvane.exe" "$stage/programs/quorvane-check.exe" "$stage/quorvane-actions.dll"

# wixl takes source files only by paths relative to where it runs.
cp "$top/res/icons/quorvane.ico" "$stage/"
msi="$stage/package.msi"
(cd "$stage" && wixl -a x64 -D Version="$version" -D ProgramsDir=programs -D IconFile=quorvane.ico \
  -D ActionsDll=quorvane-actions.dll -o package.msi "$top/installer/Quorvane.wxs" 2>wixl.log) || { cat "$stage/wixl.log" >&2; exit 1; }
upgrade_code="$(msiinfo export "$msi" Property | awk -F'\t' '$1 == "UpgradeCode" { sub(/\r$/, "", $2); print $2 }')"
[ -n "$upgrade_code" ] || { echo "package.sh: wixl wrote no UpgradeCode" >&2; exit 1; }
queries=()
while IFS= read -r line; do
  line="${line//@VERSION@/$version}"
  line="${line//@UPGRADECODE@/$upgrade_code}"
  [[ "$line" =~ ^[[:space:]]*(--|$) ]] || queries+=(-q "$line")
done <"$top/installer/fixups.sql"
msibuild "$msi" "${queries[@]}"
bash "$top/tools/sign.sh" "$msi"
mv -f "$msi" "$output"
echo "package.sh: $output ($(stat -c %s "$output") bytes)"
