"""The translators' workflow with the real files: template, msgmerge, string
tables, resource compiler; and broken PO files stopping the generator at
their file and line.     po_workflow_tests.py SOURCE_DIR WINDRES MSGMERGE"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

TOP, WINDRES, MSGMERGE = sys.argv[1:4]
DATA = [os.path.join(TOP, "res", name) for name in ("strings.txt", "catalogue.txt")]
LANGUAGES = os.path.join(TOP, "res", "lang")


def generate(*args):
    return subprocess.run([sys.executable, os.path.join(TOP, "tools", "gen-strings.py"), *args],
                          capture_output=True, text=True)


class Workflow(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="po-workflow-")
        self.addCleanup(shutil.rmtree, self.work)

    def table(self, languages, name):
        result = generate("--languages", languages, "--pseudo", *DATA, os.path.join(self.work, name))
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.work, name), encoding="utf-8") as f:
            return f.read(), result.stdout

    def german_changed(self, old, new):
        """A folder with the German PO file only, `old` replaced by `new`."""
        with open(os.path.join(LANGUAGES, "de.po"), encoding="utf-8") as f:
            text = f.read()
        self.assertIn(old, text)
        os.makedirs(os.path.join(self.work, "de"), exist_ok=True)
        with open(os.path.join(self.work, "de", "de.po"), "w", encoding="utf-8") as f:
            f.write(text.replace(old, new))
        return text.replace(old, new)

    def test_template_merge_and_build(self):
        pot = os.path.join(self.work, "quorvane.pot")
        self.assertEqual(generate("--template", pot, *DATA).returncode, 0)
        merged = os.path.join(self.work, "merged")
        shutil.copytree(LANGUAGES, merged)
        for name in os.listdir(merged):
            self.assertEqual(subprocess.run([MSGMERGE, "-q", "-U", "--backup=none", os.path.join(merged, name),
                                             pot]).returncode, 0, name)
        # Merging changes nothing that is built, even after the English changed.
        table, report = self.table(merged, "merged.rc")
        self.assertEqual(table, self.table(LANGUAGES, "committed.rc")[0])
        self.assertEqual(len(re.findall(r"\d+ strings translated, \d+ filled from English", report)), 6)
        with open(os.path.join(self.work, "module.rc"), "w") as f:
            f.write('#include <windows.h>\n#include "merged.rc"\n')
        compiled = subprocess.run([WINDRES, "-O", "coff", "-o", os.path.join(self.work, "module.o"),
                                   os.path.join(self.work, "module.rc")], capture_output=True, text=True)
        self.assertEqual(compiled.returncode, 0, compiled.stderr)

    def test_missing_translations_are_filled_and_counted(self):
        self.german_changed('msgstr "Sicheres VPN"', 'msgstr ""')
        table, report = self.table(os.path.join(self.work, "de"), "filled.rc")
        self.assertIn("German: 100 strings translated, 1 filled from English (10003)", report)
        german = table[table.index("LANGUAGE LANG_GERMAN"):table.index("// pseudo-locale")]
        self.assertIn('10003  "Secure VPN"', german)
        self.assertIn("1 QVLANGSTATUS\nBEGIN\n  100, 1, 10003\nEND", german)

    def test_broken_entries_stop_the_build_at_their_line(self):
        cases = [
            ('msgstr "SCHÜTZEN && REPARIEREN"', 'msgstr "SCHÜTZEN & REPARIEREN"',
             r'lone "&" \(underlines the next letter\): the English has 0, the translation 1'),
            ('msgstr "Kategorie"', 'msgstr "Kate\\ngorie"', "line breaks: the English has 0, the translation 1"),
            ('msgstr "Kategorie"', "msgstr Kategorie", "syntax error"),  # msgfmt's own report
            ('msgctxt "12 heading', 'msgctxt "2 registry key"\nmsgid "x"\nmsgstr "y"\n\nmsgctxt "12 heading',
             "string 2 is never translated"),
        ]
        for old, new, message in cases:
            with self.subTest(message):
                text = self.german_changed(old, new)
                lines = new.split("\n")
                wrong = text[:text.index(new)].count("\n") + 1 + next(
                    n for n, line in enumerate(lines) if line.startswith("msgstr"))
                result = generate("--languages", os.path.join(self.work, "de"), *DATA, os.path.join(self.work, "x.rc"))
                self.assertEqual(result.returncode, 1)
                self.assertRegex(result.stderr, rf"de\.po:{wrong}:.*{message}")
                self.assertFalse(os.path.exists(os.path.join(self.work, "x.rc")))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
