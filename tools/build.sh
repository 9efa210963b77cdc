#!/usr/bin/env bash
# Configures and builds the release tree (installing what is missing first).
# QUORVANE_BUILD names another build folder (default build/, the preset's).
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
bash tools/setup-machine.sh
build="${QUORVANE_BUILD:-$top/build}"
if [ ! -f "$build/build.ninja" ]; then
  if [ "$build" = "$top/build" ]; then
    cmake --preset release >/dev/null
  else
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" >/dev/null
  fi
fi
cmake --build "$build"
