#!/usr/bin/env bash
# Sets the machine up, builds, and runs every test under Wine on an Xvfb display.
# Everything started here (Xvfb, the wineserver and Wine's services) is stopped
# at the end. Extra arguments go to ctest (for example -R Catalogue).
# QUORVANE_BUILD names another build folder, with its own prefix and display.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
source tools/utf8-locale.sh
export QUORVANE_BUILD="${QUORVANE_BUILD:-$top/build}"
bash tools/build.sh
unset QUORVANE_PREFIX QUORVANE_DISPLAY
cleanup() {
  bash tools/wine-session.sh stop
  bash tools/xvfb.sh stop
}
trap cleanup EXIT
bash tools/xvfb.sh start
bash tools/prefix-init.sh
bash tools/wine-session.sh start
ctest --test-dir "$QUORVANE_BUILD" --output-on-failure --timeout 300 "$@"
