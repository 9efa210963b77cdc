#!/usr/bin/env bash
# no-history-build.sh SOURCE WORK: a copy of the source without its git history
# (as an export or an unpacked archive holds it, here in WORK inside the build
# folder, itself in a repository that is not the source's) configures with build
# number 0 and says so, and gets no installer package, neither from the build
# nor from tools/package.sh: its version would be a release's. The same copy
# given a number gets its package. Every problem is a line; exit status 1.
set -uo pipefail
if [ $# -ne 2 ]; then
  echo "usage: no-history-build.sh SOURCE WORK" >&2
  exit 2
fi
source="$1" work="$2"
problems=0
problem() { echo "problem: $*"; problems=$((problems + 1)); }

rm -rf "$work"
mkdir -p "$work/src"
tar -C "$source" --exclude=./.git --exclude='./build' --exclude='./build-*' -cf - . | tar -C "$work/src" -xf -
configure() {  # configure BUILD [ARGS...]: the log in BUILD.log
  local build="$1"; shift
  cmake -S "$work/src" -B "$work/$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-w64-x86_64.cmake" -DBUILD_TESTING=OFF "$@" >"$work/$build.log" 2>&1 ||
    { problem "configuring $build failed:"; tail -n 20 "$work/$build.log"; }
}

configure unnumbered
log="$(tr -s ' \n' ' ' <"$work/unnumbered.log")"
grep -q "The source has no git history: build number 0" <<<"$log" || problem "no warning about the missing history"
grep -q "Build number 0: no installer package is made" <<<"$log" || problem "no warning that no package is made"
version="$(sed -n 's/^-- Quorvane version //p' "$work/unnumbered.log")"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.0$ ]] || problem "version '$version' is not numbered 0"
targets="$(ninja -C "$work/unnumbered" -t targets all 2>&1)"
if grep -q '\.msi' <<<"$targets"; then problem "a package is made: $(grep -m1 '\.msi' <<<"$targets")"; fi
grep -q '^installer:' <<<"$targets" || problem "there is no installer target (it builds the actions)"
package="$(QUORVANE_BUILD="$work/unnumbered" bash "$work/src/tools/package.sh" 2>&1)"
status=$?
[ "$status" -eq 2 ] || problem "tools/package.sh exited $status, not 2"
grep -q "this build is numbered 0" <<<"$package" || problem "tools/package.sh says: $package"

configure numbered -DQUORVANE_BUILD_NUMBER=7
grep -q "Build number 0" "$work/numbered.log" && problem "build 7 says it gets no package"
targets="$(ninja -C "$work/numbered" -t targets all 2>&1)"
grep -q "Quorvane-${version%.0}.7-x64.msi" <<<"$targets" || problem "build 7 makes no Quorvane-${version%.0}.7-x64.msi"

echo "$problems problems"
[ "$problems" -eq 0 ]
