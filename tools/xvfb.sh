#!/usr/bin/env bash
# tools/xvfb.sh start|stop: an Xvfb display for the project's GUI runs.
# start picks a free display number, records it in <build>/wine/display and the
# server's pid in <build>/wine/xvfb.pid; stop ends that pid.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
state="${QUORVANE_BUILD:-$top/build}/wine"
mkdir -p "$state"
case "${1:-}" in
  start)
    if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
      exit 0
    fi
    for n in $(seq 91 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
      pid=$!
      for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
      done
      if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
        echo "$pid" >"$state/xvfb.pid"
        echo ":$n" >"$state/display"
        exit 0
      fi
    done
    echo "xvfb.sh: could not start Xvfb" >&2
    exit 1
    ;;
  stop)
    if [ -f "$state/xvfb.pid" ]; then
      kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
      rm -f "$state/xvfb.pid" "$state/display"
    fi
    ;;
  *) echo "usage: tools/xvfb.sh start|stop" >&2; exit 2 ;;
esac
