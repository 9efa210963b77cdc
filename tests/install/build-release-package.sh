#!/usr/bin/env bash
# build-release-package.sh SOURCE COMMIT WORK OUTPUT: the package of an earlier
# release, made by that release's own build: `git archive COMMIT` of the
# repository at SOURCE is unpacked in WORK/src and configured in WORK/build
# without tests; its `installer` target builds the launcher, the check tool and
# the package, which is copied to OUTPUT. The upgrade tests install it.
set -euo pipefail
if [ $# -ne 4 ]; then
  echo "usage: build-release-package.sh SOURCE COMMIT WORK OUTPUT" >&2
  exit 2
fi
source="$1" commit="$2" work="$3" output="$4"
if ! git -C "$source" cat-file -e "$commit^{commit}" 2>/dev/null; then
  echo "build-release-package.sh: commit $commit is not in the history of $source (a shallow clone or" \
       "an exported source): the package of that release cannot be built. Fetch the whole history" \
       "(git fetch --unshallow) and configure again." >&2
  exit 1
fi
rm -rf "$work"
mkdir -p "$work/src"
git -C "$source" archive "$commit" | tar -x -C "$work/src"
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-w64-x86_64.cmake" -DBUILD_TESTING=OFF >"$work/configure.log" ||
  { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --target installer -j 2 >"$work/build.log" ||
  { tail -n 40 "$work/build.log" >&2; exit 1; }
packages=("$work"/build/Quorvane-*-x64.msi)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] ||
  { echo "build-release-package.sh: the build of $commit made no one package: ${packages[*]}" >&2; exit 1; }
cp "${packages[0]}" "$output"
echo "build-release-package.sh: $output, built from $commit"
