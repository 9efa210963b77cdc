#!/usr/bin/env bash
# Checks of the product's code and program that need no Windows:
#   static-checks.sh clang      every product source through a second compiler
#                               (clang for the MinGW-w64 target, -Wall -Wextra -Werror)
#   static-checks.sh cppcheck   every product source through cppcheck
#   static-checks.sh pe <exe>   the program's hardening flags: ASLR (dynamic base,
#                               high entropy), DEP (NX compatible), stack protector
# Each prints what it checked and exits non-zero on the first finding.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"

sources() {
  find app ui launch catalogue framework -name '*.cpp' | sort
}

defines=(-DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00)

check_clang() {
  command -v clang++ >/dev/null || { echo "clang++ is missing (tools/setup-machine.sh installs it)" >&2; exit 1; }
  # The C++ headers of the MinGW-w64 cross compiler the build uses.
  local cxx
  cxx="$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | sort -V | tail -1)"
  local failed=0 count=0
  while IFS= read -r f; do
    count=$((count + 1))
    if ! clang++ --target=x86_64-w64-mingw32 -fsyntax-only -std=c++20 -Wall -Wextra -Werror \
        "${defines[@]}" -isystem "$cxx" -isystem "$cxx/x86_64-w64-mingw32" -isystem "$cxx/backward" \
        -I. "$f"; then
      failed=1
    fi
  done < <(sources)
  echo "clang: $count sources checked"
  [ "$failed" -eq 0 ] && echo "clang: no warnings"
  return "$failed"
}

check_cppcheck() {
  command -v cppcheck >/dev/null || { echo "cppcheck is missing (tools/setup-machine.sh installs it)" >&2; exit 1; }
  # System headers are not given to cppcheck; only the project's own includes
  # are followed. Texts are passed by value on purpose (the string class is
  # reference-counted), so that finding is not reported.
  mapfile -t files < <(sources)
  cppcheck --quiet --error-exitcode=1 --language=c++ --std=c++20 --platform=win64 \
    --enable=warning,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --suppress=passedByValue "${defines[@]}" -I. "${files[@]}"
  echo "cppcheck: ${#files[@]} sources checked, no findings"
}

check_pe() {
  local exe="$1"
  [ -f "$exe" ] || { echo "no program at $exe" >&2; exit 1; }
  local dump
  dump="$(x86_64-w64-mingw32-objdump -p "$exe")"
  local flags
  flags="$(awk '/^DllCharacteristics/ {print $2}' <<<"$dump")"
  [ -n "$flags" ] || { echo "no DllCharacteristics in the PE header" >&2; exit 1; }
  local value=$((16#$flags)) bad=0
  for pair in "0x0020:HIGH_ENTROPY_VA" "0x0040:DYNAMIC_BASE" "0x0100:NX_COMPAT"; do
    local bit="${pair%%:*}" name="${pair#*:}"
    if (( value & bit )); then echo "pe: $name set"; else echo "pe: $name MISSING" >&2; bad=1; fi
  done
  # ASLR needs the relocations to stay in the file.
  if grep -q "RELOCS_STRIPPED" <<<"$dump" || ! grep -q "^Characteristics" <<<"$dump"; then
    echo "pe: relocations stripped" >&2; bad=1
  fi
  # The stack protector: functions compiled with it reference the guard
  # (.refptr.__stack_chk_guard) and call __stack_chk_fail, linked in from libssp.
  local symbols
  symbols="$(x86_64-w64-mingw32-objdump -t "$exe")"
  if grep -q 'refptr\.__stack_chk_guard' <<<"$symbols" && grep -q '__stack_chk_fail' <<<"$symbols$dump"; then
    echo "pe: stack protector present (guard referenced, __stack_chk_fail linked)"
  else
    echo "pe: no reference to __stack_chk_guard/__stack_chk_fail in the program" >&2; bad=1
  fi
  return "$bad"
}

case "${1:-}" in
  clang) check_clang ;;
  cppcheck) check_cppcheck ;;
  pe) check_pe "${2:?program path}" ;;
  *) echo "usage: $0 clang|cppcheck|pe <exe>" >&2; exit 2 ;;
esac
