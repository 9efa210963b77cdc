#!/usr/bin/env bash
# bash tools/update-po.sh
#   Writes the translators' template res/lang/quorvane.pot from res/strings.txt
#   and res/catalogue.txt, and brings every translation res/lang/<code>.po up
#   to date with it (gettext's msgmerge). An entry whose English changed keeps
#   its translation, marked fuzzy, with the English it translated as "#|"
#   lines (--previous), so that a translator sees what changed; a fuzzy entry
#   is shown in English until it is confirmed. Needs python3 with polib and
#   gettext, no cross compiler. To start a language from the template:
#     msginit --no-translator -i res/lang/quorvane.pot -l it_IT.UTF-8 -o res/lang/it.po
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lang="$top/res/lang"
# Debian's python3 has polib; one found first on PATH (pyenv's, say) may not.
python=python3
"$python" -c "import polib" 2>/dev/null || python=/usr/bin/python3
"$python" "$top/tools/gen-strings.py" --template "$lang/quorvane.pot" "$top/res/strings.txt" "$top/res/catalogue.txt"
for po in "$lang"/*.po; do
  [ -e "$po" ] || continue
  msgmerge --quiet --previous --update --backup=none "$po" "$lang/quorvane.pot"
done
echo "update-po.sh: $lang/quorvane.pot written; merged into $(cd "$lang" && ls *.po 2>/dev/null | tr '\n' ' ')"
