#!/usr/bin/env bash
# tools/wine-session.sh start|stop: keeps one wineserver and Wine's services
# running for a batch of runs. They are started with all three standard
# streams on /dev/null, so no service holds the pipe of whoever runs the tests.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
case "${1:-}" in
  start)
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    "$WINE" wineboot >/dev/null 2>&1 </dev/null
    ;;
  stop)
    "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
    "$WINESERVER" -w >/dev/null 2>&1 </dev/null || true
    ;;
  *) echo "usage: tools/wine-session.sh start|stop" >&2; exit 2 ;;
esac
exit 0
