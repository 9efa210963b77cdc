# Sourced by the scripts that start Wine. Wine makes Unix file names from
# Windows ones through the locale's character set, so under a locale that is
# not UTF-8 (none set, as on a fresh Debian machine, or one not installed) names
# outside ASCII cannot be made or opened. Such a caller gets C.UTF-8, which
# Debian's C library always has, with one line saying so; a UTF-8 locale of the
# caller's own is kept. `locale charmap` resolves LC_ALL, LC_CTYPE and LANG as
# the C library does. Exported, so everything started from here keeps quiet.
charmap="$(locale charmap 2>/dev/null || true)"
if [ "$charmap" != UTF-8 ]; then
  echo "Wine runs under LC_ALL=C.UTF-8: file names outside ASCII need UTF-8, and the current locale" \
    "(${LC_ALL:-${LC_CTYPE:-${LANG:-none set}}}) gives ${charmap:-no character set}." >&2
  export LC_ALL=C.UTF-8
fi
unset charmap
