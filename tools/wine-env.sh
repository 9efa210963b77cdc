# Sourced by the project's scripts: the Wine environment every call uses.
# QUORVANE_BUILD is the build tree (default build/), whose wine/ folder holds
# the prefixes and the Xvfb state; QUORVANE_PREFIX picks the prefix (default:
# the test prefix); QUORVANE_DISPLAY the X display (default: the one
# tools/xvfb.sh started for this build tree).
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$top/tools/utf8-locale.sh"
export QUORVANE_BUILD="${QUORVANE_BUILD:-$top/build}"
state="$QUORVANE_BUILD/wine"
export WINEPREFIX="${QUORVANE_PREFIX:-$state/test-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# Nothing may ask to download Mono or Gecko, and nothing of the prefix's
# (associations, menu entries) may land on the Linux desktop.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEARCH=win64
if [ -n "${QUORVANE_DISPLAY:-}" ]; then
  export DISPLAY="$QUORVANE_DISPLAY"
elif [ -f "$state/display" ]; then
  export DISPLAY="$(cat "$state/display")"
fi
# The project's Xvfb starts without the X resource database a desktop session
# loads at login. Without one Xlib looks for ~/.Xdefaults and
# ~/.Xdefaults-<host> again at every lookup, and Wine's X11 driver looks up the
# font defaults each time a font is selected into a DC: system calls that no
# desktop pays, dozens per repaint. Its programs get the resources a Debian
# session loads.
if [ -f "$state/display" ] && [ "${DISPLAY:-}" = "$(cat "$state/display")" ]; then
  export XENVIRONMENT="${XENVIRONMENT:-$top/tools/x-resources}"
fi
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
[ -x "$WINE" ] || WINE="$(command -v wine64 || command -v wine)"
[ -x "$WINESERVER" ] || WINESERVER="$(command -v wineserver)"
export WINE WINESERVER
