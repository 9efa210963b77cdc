#!/usr/bin/env bash
# Installs what building and running Quorvane needs on a Debian 12 machine:
# the MinGW-w64 cross compilers, Wine with its 32-bit side (a WoW64 prefix, as
# every 64-bit Windows has), Tahoma, a CJK font, DejaVu Sans and Loma (Hebrew and
# Thai, added to Tahoma by tools/extend-tahoma.py with python3-fonttools), Xvfb,
# the build tools (git numbers the builds), the
# translators' tools (gettext, polib), the packaging and signing tools (wixl,
# msitools, osslsigncode, openssl), and the locales the languages are shown
# and tested under. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 wine32:i386 fonts-wine fonts-wqy-microhei fonts-dejavu-core fonts-tlwg-loma-ttf
  xvfb x11-utils imagemagick
  cmake ninja-build googletest python3 gettext python3-polib python3-fonttools locales
  clang cppcheck
  wixl msitools osslsigncode openssl git
)

# Wine takes the UI language from the Unix locale (LC_ALL, LC_MESSAGES, LANG),
# and file names outside ASCII work only under a locale that is generated: the
# locales of every language Windows ships, regions that fall back to another
# table (de_AT, es_AR, en_AU, nn_NO, ca_ES, zh_HK, ar_EG), and languages with no
# table (fa_IR; is_IS, under which the pseudo-locale launchers are shown).
# Serbian (Latin) is Debian's sr_RS@latin (sr_RS.UTF-8@latin when set).
locales=(en_US de_DE de_AT de_CH fr_FR fr_CA es_ES it_IT pt_BR nl_NL nl_BE pl_PL ru_RU tr_TR ja_JP ko_KR zh_CN zh_TW
  ar_SA ar_EG he_IL fa_IR
  bg_BG hr_HR cs_CZ da_DK et_EE fi_FI el_GR hu_HU lv_LV lt_LT nb_NO ro_RO sr_RS@latin sk_SK sl_SI sv_SE uk_UA th_TH
  en_GB es_MX pt_PT
  es_AR en_AU nn_NO ca_ES zh_HK is_IS)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
have_locales="$(locale -a 2>/dev/null || true)"
missing_locales=()
for l in "${locales[@]}"; do
  # locale -a names a locale with a modifier sr_RS.utf8@latin.
  grep -qx "${l%%@*}.utf8${l#"${l%%@*}"}" <<<"$have_locales" || missing_locales+=("$l")
done
if [ ${#missing[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# has_candidate PACKAGE: apt knows a version of it to install.
has_candidate() {
  local candidate
  candidate="$(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: *//p')"
  [ -n "$candidate" ] && [ "$candidate" != "(none)" ]
}

# The 32-bit side is installed on its own: nothing the project runs is a
# 32-bit program (the prefix gets its SysWOW64 folder and 32-bit registry view
# from wine64 alone), so a machine whose i386 libraries cannot match its amd64
# ones goes on without it.
wine32=wine32:i386
main_missing=()
want_wine32=0
for p in "${missing[@]}"; do
  if [ "$p" = "$wine32" ]; then want_wine32=1; else main_missing+=("$p"); fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  update_log="$(mktemp)"
  if ! "${sudo_cmd[@]}" apt-get update -qq >"$update_log" 2>&1; then
    # A mirror in the middle of a sync can leave one index unreadable while
    # every other was read: go on when apt still knows every package wanted.
    unknown=()
    for p in "${main_missing[@]}"; do has_candidate "$p" || unknown+=("$p"); done
    if [ ${#unknown[@]} -gt 0 ]; then
      echo "apt-get update failed and apt knows no version of: ${unknown[*]}; its output:" >&2
      sed 's/^/    /' "$update_log" >&2
      rm -f "$update_log"
      exit 1
    fi
    echo "apt-get update could not read every index (a mirror may be in the middle of a sync); going on with the ones it read:"
    grep '^E: Failed' "$update_log" | sed 's/^/    /' || true
  fi
  rm -f "$update_log"
  if [ ${#main_missing[@]} -gt 0 ]; then
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${main_missing[@]}" >/dev/null
  fi
  if [ "$want_wine32" -eq 1 ] &&
    ! "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$wine32" >/dev/null 2>&1; then
    echo "Wine's 32-bit side ($wine32) could not be installed, since its i386 libraries do not match the amd64 ones installed (as while a Debian mirror syncs its security updates): everything here goes on without it, and running this script again later adds it."
  fi
fi
if [ ${#missing_locales[@]} -gt 0 ]; then
  echo "Generating locales: ${missing_locales[*]/%/.UTF-8}"
  for l in "${missing_locales[@]}"; do
    # Debian lists every locale in /etc/locale.gen, commented out, most as
    # "xx_YY.UTF-8 UTF-8", some whose default is UTF-8 as "xx_YY UTF-8".
    "${sudo_cmd[@]}" sed -i "s/^# *\($l\(\.UTF-8\)\? UTF-8\)\$/\1/" /etc/locale.gen
    grep -qxE "$l(\.UTF-8)? UTF-8" /etc/locale.gen ||
      echo "$l.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  done
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
