#!/usr/bin/env bash
# tools/wine-session.sh start|stop: keeps one wineserver and Wine's services
# running for a batch of runs. They are started with all three standard
# streams on /dev/null, so no service holds the pipe of whoever runs the tests.
# (Their output cannot be kept for that reason: a failing step is named with
# its exit status.)
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

start_session() {
  local rc=0
  # Exit status 2: a server of this prefix runs already (started here before).
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null || rc=$?
  [ "$rc" -eq 0 ] || [ "$rc" -eq 2 ] ||
    { echo "wine-session.sh: starting the wineserver (wineserver -p) failed with exit $rc" >&2; return 1; }
  "$WINE" wineboot >/dev/null 2>&1 </dev/null ||
    { echo "wine-session.sh: starting Wine's services (wineboot) failed with exit $?" >&2; return 1; }
}

end_session() {
  "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
  "$WINESERVER" -w >/dev/null 2>&1 </dev/null || true
}

case "${1:-}" in
  start)
    # A start fails in Wine's own start-up (a server still going down, a busy
    # machine): once more from nothing.
    start_session && exit 0
    echo "wine-session.sh: ending Wine in $WINEPREFIX and starting once more" >&2
    end_session
    start_session || exit 1
    ;;
  stop) end_session ;;
  *) echo "usage: tools/wine-session.sh start|stop" >&2; exit 2 ;;
esac
exit 0
