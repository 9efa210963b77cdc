#!/usr/bin/env bash
# bash tools/run.sh         installs what is missing, builds, prepares the demo
#                           machine (tools/demo-machine.sh) and starts the launcher
#                           in it: on the current X display if one answers,
#                           otherwise on an Xvfb display, with a screenshot.
# bash tools/run.sh --language de
#                           the same, with the launcher in another language: de,
#                           fr, es, it, pt_BR, nl, pl, ru, tr, ja, ko, zh (or
#                           zh_CN), zh_TW, ar, he, bg, hr, cs, da, et, fi, el, hu,
#                           lv, lt, nb, ro, sr@latin, sk, sl, sv, uk, th, en_GB,
#                           fr_CA, es_MX, pt_PT, en, a locale such as de_AT or
#                           es_AR, or qps (the pseudo-locale, see below).
# bash tools/run.sh --stop  ends the launcher, the demo machine's wineserver and
#                           the Xvfb display this script started.
# QUORVANE_BUILD names another build folder (default build/).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
source tools/utf8-locale.sh
export QUORVANE_BUILD="${QUORVANE_BUILD:-$top/build}"
state="$QUORVANE_BUILD/wine"
export QUORVANE_PREFIX="$state/demo-prefix"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
launcher_pid="$state/demo-launcher.pid"
launcher_log="$state/demo-launcher.log"
own_xvfb="$state/demo-xvfb"          # present while the Xvfb was started by this script
screenshot="$QUORVANE_BUILD/quorvane-demo.png"
installed_windows='C:\Program Files\Velmora\Quorvane\Quorvane.exe'
installed_unix="$QUORVANE_PREFIX/drive_c/Program Files/Velmora/Quorvane/Quorvane.exe"

stop_launcher() {
  if [ -f "$launcher_pid" ]; then
    kill "$(cat "$launcher_pid")" 2>/dev/null || true
    rm -f "$launcher_pid"
  fi
  if [ -d "$QUORVANE_PREFIX" ]; then
    bash tools/wine-session.sh stop
  fi
}

stop_all() {
  stop_launcher
  if [ -f "$own_xvfb" ]; then
    bash tools/xvfb.sh stop
    rm -f "$own_xvfb"
  fi
}

usage() {
  echo "usage: bash tools/run.sh [--language de|fr|...|th|en_GB|fr_CA|es_MX|pt_PT|en|qps|qps-plocm|xx_YY] | --stop" >&2
  exit 2
}
# Wine takes the launcher's UI language from the Unix locale it starts under.
locale_name=""
app="$QUORVANE_BUILD/app/Quorvane.exe"
case "${1:-}" in
  --stop) stop_all; echo "Stopped."; exit 0 ;;
  --language)
    [ $# -eq 2 ] || usage
    case "$2" in
      de) locale_name=de_DE ;; fr) locale_name=fr_FR ;; es) locale_name=es_ES ;;
      it) locale_name=it_IT ;; nl) locale_name=nl_NL ;; pl) locale_name=pl_PL ;;
      ru) locale_name=ru_RU ;; tr) locale_name=tr_TR ;; ja) locale_name=ja_JP ;;
      ko) locale_name=ko_KR ;; zh) locale_name=zh_CN ;; en) locale_name=en_US ;;
      ar) locale_name=ar_SA ;; he) locale_name=he_IL ;;
      bg) locale_name=bg_BG ;; hr) locale_name=hr_HR ;; cs) locale_name=cs_CZ ;;
      da) locale_name=da_DK ;; et) locale_name=et_EE ;; fi) locale_name=fi_FI ;;
      el) locale_name=el_GR ;; hu) locale_name=hu_HU ;; lv) locale_name=lv_LV ;;
      lt) locale_name=lt_LT ;; nb) locale_name=nb_NO ;; ro) locale_name=ro_RO ;;
      sr@latin|sr) locale_name=sr_RS@latin ;; sk) locale_name=sk_SK ;; sl) locale_name=sl_SI ;;
      sv) locale_name=sv_SE ;; uk) locale_name=uk_UA ;; th) locale_name=th_TH ;;
      en_GB|fr_CA|es_MX|pt_PT) locale_name="$2" ;;
      # Wine 8 has no qps-ploc or qps-plocm locale, so no process can have
      # 0x0501 or 0x09FF as its UI language: the launchers built for the
      # language tests carry the same pseudo-locale tables filed under
      # Icelandic, which never has a table of its own, shown under is_IS.
      qps) locale_name=is_IS; app="$QUORVANE_BUILD/tests/languages/QuorvaneLanguageTest.exe" ;;
      qps-plocm) locale_name=is_IS; app="$QUORVANE_BUILD/tests/languages/QuorvaneMirroredTest.exe" ;;
      [a-z][a-z]_[A-Z][A-Z]|[a-z][a-z]_[A-Z][A-Z]@latin) locale_name="$2" ;;
      *) usage ;;
    esac
    screenshot="$QUORVANE_BUILD/quorvane-demo-$2.png"
    ;;
  "") ;;
  *) usage ;;
esac

bash tools/build.sh
# A modifier follows the codeset: sr_RS@latin is sr_RS.utf8@latin, set as sr_RS.UTF-8@latin.
lc_all="${locale_name%%@*}.UTF-8${locale_name#"${locale_name%%@*}"}"
if [ -n "$locale_name" ] && ! locale -a 2>/dev/null | grep -qx "${locale_name%%@*}.utf8${locale_name#"${locale_name%%@*}"}"; then
  echo "run.sh: the locale $locale_name.UTF-8 is not generated: add it to tools/setup-machine.sh's list" >&2
  exit 1
fi
mkdir -p "$state"
stop_launcher                       # a launcher left from an earlier run
bash tools/demo-machine.sh

if [ ! -f "$app" ]; then
  echo "run.sh: the launcher is not built yet ($app is missing)." >&2
  echo "run.sh: the demo machine is ready; run this script again once the launcher builds." >&2
  exit 1
fi
mkdir -p "$(dirname "$installed_unix")"
cp "$app" "$installed_unix"

# The display: the user's own if it answers, else a virtual one.
on_xvfb=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export QUORVANE_DISPLAY="$DISPLAY"
else
  on_xvfb=1
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    :                               # the build's Xvfb is running already (not ours to stop)
  else
    bash tools/xvfb.sh start
    touch "$own_xvfb"
  fi
  export QUORVANE_DISPLAY="$(cat "$state/display")"
fi
source tools/wine-env.sh

# Wine's services first, with their streams on /dev/null, then the launcher.
bash tools/wine-session.sh start
if [ -n "$locale_name" ]; then
  LC_ALL="$lc_all" setsid "$WINE" "$installed_windows" >"$launcher_log" 2>&1 </dev/null &
else
  setsid "$WINE" "$installed_windows" >"$launcher_log" 2>&1 </dev/null &
fi
echo $! >"$launcher_pid"

window=""
for _ in $(seq 150); do
  window="$(xwininfo -root -tree 2>/dev/null | awk '/"Quorvane": \(/ { print $1; exit }')"
  [ -n "$window" ] && break
  kill -0 "$(cat "$launcher_pid")" 2>/dev/null || break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "run.sh: the launcher's window did not appear on $DISPLAY; its output:" >&2
  cat "$launcher_log" >&2
  stop_all
  exit 1
fi

echo
echo "Quorvane is running in the demo machine ($QUORVANE_PREFIX), installed as $installed_windows${locale_name:+, under LC_ALL=$lc_all}."
if [ "$on_xvfb" -eq 1 ]; then
  sleep 2                           # let the first paint finish
  if import -window "$window" "$screenshot" 2>/dev/null ||
     import -window root "$screenshot" 2>/dev/null; then
    echo "No usable display here, so it runs on the virtual display $DISPLAY (Xvfb)."
    echo "Screenshot: $screenshot (open it with an image viewer)."
    echo "A new screenshot at any time: DISPLAY=$DISPLAY import -window root shot.png"
  else
    echo "run.sh: could not take a screenshot of display $DISPLAY" >&2
  fi
else
  echo "Its window is on your display $DISPLAY."
fi
echo "Stop it with: bash tools/run.sh --stop"
