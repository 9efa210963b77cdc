#!/usr/bin/env bash
# bash tools/bench.sh [RUNS [LOADS [CYCLES]]]
#
# The launcher's benchmark: builds what it needs, prepares the demo machine
# (tools/demo-machine.sh) in its build folder, starts Xvfb and Wine's
# services, and prints a table of medians, ratios and targets:
#   - start-up to the main window shown, painted and idle: the launcher on the
#     demo machine (a), the launcher built with a worst-case catalogue (b), a
#     floor program, a dialog with one list view (c), and a floor of the
#     launcher's own window doing nothing else (d), RUNS alternating starts of
#     each (default 15), with the ratios against both floors, and the start-up of
#     (a) broken down into phases (a build of the launcher that records the
#     time at each phase's end takes its turn in the same rotation);
#   - catalogue load of the shipped and the worst-case table, median of LOADS
#     (default 50), with the file probes and registry opens of one load;
#   - steady state of the real dialog: CYCLES activation changes and CYCLES
#     category switches (default 10000), time per cycle, memory and objects;
#   - the mirrored dialog beside the one laid out left to right, both with the
#     Arabic table: eight rounds of CYCLES / 10 cycles of each kind in each,
#     taking turns, the mirrored one's median within 1.1 times the other's;
#   - footprint: the stripped launcher and the idle launcher's memory;
#   - requests to Wine's server per start-up phase, catalogue load, cycle and
#     part of a cycle, counted in a short run under a tracing wineserver.
# A quick run: bash tools/bench.sh 3 10 1000
#
# QUORVANE_BUILD names the build folder (default build-bench/, configured
# without the tests), which has its own Wine prefixes and display.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
source tools/utf8-locale.sh
runs="${1:-15}"
loads="${2:-50}"
cycles="${3:-10000}"
export QUORVANE_BUILD="${QUORVANE_BUILD:-$top/build-bench}"
build="$QUORVANE_BUILD"

bash tools/setup-machine.sh
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
fi
cmake --build "$build" --target bench

state="$build/wine"
mkdir -p "$state"
if [ -f "$state/demo-launcher.pid" ] && kill -0 "$(cat "$state/demo-launcher.pid")" 2>/dev/null; then
  echo "bench.sh: the demo launcher of $build is running (tools/run.sh); stop it first: bash tools/run.sh --stop" >&2
  exit 1
fi

own_xvfb=0
cleanup() {
  rm -f "${server_trace:-}"
  if [ -n "${bench_dir:-}" ]; then
    rm -rf "$bench_dir"
  fi
  if [ -n "${worst_list:-}" ] && [ -f "$worst_list" ]; then
    while IFS= read -r name; do
      [ -n "$name" ] && rm -f "$windows_dir/$name"
    done <"$worst_list"
    rm -f "$worst_list"
  fi
  bash tools/wine-session.sh stop
  if [ "$own_xvfb" -eq 1 ]; then
    bash tools/xvfb.sh stop
  fi
}
trap cleanup EXIT
if ! { [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; }; then
  bash tools/xvfb.sh start
  own_xvfb=1
fi
bash tools/demo-machine.sh >/dev/null
export QUORVANE_PREFIX="$state/demo-prefix"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
source tools/wine-env.sh

# The programs, in a folder of the prefix removed at the end; the worst-case
# table's found programs in the Windows folder, removed likewise.
drive_c="$WINEPREFIX/drive_c"
windows_dir="$drive_c/windows"
bench_dir="$drive_c/QuorvaneBench"
mkdir -p "$bench_dir"
cp "$build/app/Quorvane.exe" "$build/tools/bench/QuorvaneWorst.exe" "$build/tools/bench/QuorvaneTraced.exe" \
   "$build/tools/bench/bench_floor.exe" "$build/tools/bench/bench_window_floor.exe" \
   "$build/tools/bench/bench_driver.exe" "$build/tools/bench/bench_inproc.exe" "$bench_dir/"
worst_list="$state/bench-worst-files"
python3 tools/bench/gen-worst-catalogue.py --found >"$worst_list"
while IFS= read -r name; do
  cp "$build/tools/standin/standin.exe" "$windows_dir/$name"
done <"$worst_list"

bash tools/wine-session.sh start
win='C:\QuorvaneBench'
run_wine() { "$WINE" "$@" </dev/null; }

echo
echo "Quorvane benchmark: $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')), $(wine_version="$("$WINE" --version 2>/dev/null)"; echo "${wine_version:-wine}")"
echo "Start-up runs: $runs alternating; catalogue loads: $loads; steady-state cycles: $cycles"
echo
printf '| %-58s | %26s | %-12s | %-6s |\n' "Measure" "Median / figure" "Target" ""
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' $(seq 60))" "$(printf -- '-%.0s' $(seq 28))" \
  "$(printf -- '-%.0s' $(seq 14))" "$(printf -- '-%.0s' $(seq 8))"
status=0
run_wine "$win\\bench_driver.exe" "$runs" \
  "$win\\Quorvane.exe" VelConsoleClass \
  "$win\\QuorvaneWorst.exe" VelConsoleClass \
  "$win\\bench_floor.exe" QvBenchFloorClass "$win\\bench_window_floor.exe" VelConsoleClass \
  "$win\\QuorvaneTraced.exe" | tr -d '\r' || status=1
run_wine "$win\\bench_inproc.exe" catalogue "$loads" "$win\\Quorvane.exe" "$win\\QuorvaneWorst.exe" \
  | tr -d '\r' || status=1
run_wine "$win\\bench_inproc.exe" steady "$cycles" | tr -d '\r' || status=1
layout_cycles=$(( cycles / 10 > 100 ? cycles / 10 : 100 ))
LC_ALL=ar_SA.UTF-8 run_wine "$win\\bench_inproc.exe" layouts "$layout_cycles" 8 | tr -d '\r' || status=1

# Requests to Wine's server: the same programs again, briefly, under a
# wineserver that writes every request to its standard error (-d1), far too
# slow to time; the programs mark the spans to count in that trace.
bash tools/wine-session.sh stop
server_trace="$state/bench-server-trace.txt"
"$WINESERVER" -p -d1 2>"$server_trace" >/dev/null </dev/null
"$WINE" wineboot >/dev/null 2>&1 </dev/null
run_wine "$win\\bench_driver.exe" 1 "$win\\Quorvane.exe" VelConsoleClass "$win\\QuorvaneWorst.exe" VelConsoleClass \
  "$win\\bench_floor.exe" QvBenchFloorClass "$win\\bench_window_floor.exe" VelConsoleClass \
  "$win\\QuorvaneTraced.exe" >/dev/null || status=1
run_wine "$win\\bench_inproc.exe" catalogue 1 "$win\\Quorvane.exe" "$win\\QuorvaneWorst.exe" >/dev/null || status=1
run_wine "$win\\bench_inproc.exe" steady 100 >/dev/null || status=1
LC_ALL=ar_SA.UTF-8 run_wine "$win\\bench_inproc.exe" layouts 100 1 >/dev/null || status=1
bash tools/wine-session.sh stop
python3 tools/bench/count-requests.py "$server_trace" \
  --target "Activation changes=60" --target "Category switches=60" \
  --target "Activation changes, mirrored=60" --target "Category switches, mirrored=60" || status=1
rm -f "$server_trace"

stripped="$(mktemp --suffix=.exe)"
cp "$build/app/Quorvane.exe" "$stripped"
x86_64-w64-mingw32-strip "$stripped"
size="$(stat -c %s "$stripped")"
rm -f "$stripped"
verdict=ok
[ "$size" -lt 1048576 ] || verdict=MISSED
printf '| %-58s | %26s | %-12s | %-6s |\n' "Release Quorvane.exe, stripped" "$((size / 1024)) KiB ($size B)" "< 1 MiB" "$verdict"
exit "$status"
