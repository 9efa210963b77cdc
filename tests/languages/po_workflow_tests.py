"""The translators' workflow with the real files: the template made from the
data files, every PO file merged with it, the string tables generated and
compiled; and a broken PO file stopping the build at its file and line.

    po_workflow_tests.py SOURCE_DIR WINDRES MSGMERGE
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

TOP, WINDRES, MSGMERGE = sys.argv[1:4]
GENERATOR = os.path.join(TOP, "tools", "gen-strings.py")
DATA = [os.path.join(TOP, "res", "strings.txt"), os.path.join(TOP, "res", "catalogue.txt")]
LANGUAGES = os.path.join(TOP, "res", "lang")


def generate(*args):
    return subprocess.run([sys.executable, GENERATOR, *args], capture_output=True, text=True)


class Workflow(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="po-workflow-")
        self.addCleanup(shutil.rmtree, self.work)

    def path(self, *names):
        return os.path.join(self.work, *names)

    def table(self, languages, name):
        result = generate("--languages", languages, "--pseudo", *DATA, self.path(name))
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.path(name), encoding="utf-8") as f:
            return f.read(), result.stdout

    def broken_copy(self, change):
        """A copy of the German PO file with `change` applied to its text."""
        os.makedirs(self.path("broken"))
        with open(os.path.join(LANGUAGES, "de.po"), encoding="utf-8") as f:
            text = change(f.read())
        with open(self.path("broken", "de.po"), "w", encoding="utf-8") as f:
            f.write(text)
        return text

    def expect_error_at(self, text, needle, message):
        """The generator fails naming the line of the first line holding `needle`."""
        line = text[:text.index(needle)].count("\n") + 1
        result = generate("--languages", self.path("broken"), *DATA, self.path("out.rc"))
        self.assertEqual(result.returncode, 1, result.stdout)
        self.assertRegex(result.stderr, re.escape(f"de.po:{line}:") + ".*" + message)
        self.assertFalse(os.path.exists(self.path("out.rc")))

    def test_template_merge_and_build(self):
        result = generate("--template", self.path("quorvane.pot"), *DATA)
        self.assertEqual(result.returncode, 0, result.stderr)
        os.makedirs(self.path("merged"))
        for name in sorted(os.listdir(LANGUAGES)):
            shutil.copy(os.path.join(LANGUAGES, name), self.path("merged", name))
            merge = subprocess.run([MSGMERGE, "--quiet", "--update", "--backup=none",
                                    self.path("merged", name), self.path("quorvane.pot")])
            self.assertEqual(merge.returncode, 0, name)
        # Merging never changes what is built, even after the English changed.
        merged, report = self.table(self.path("merged"), "merged.rc")
        committed, _ = self.table(LANGUAGES, "committed.rc")
        self.assertEqual(merged, committed)
        for language in ("German", "French", "Spanish", "Japanese", "Simplified Chinese", "pseudo-locale qps-ploc"):
            self.assertRegex(report, rf"{language}: \d+ strings translated, \d+ filled from English")
        with open(self.path("module.rc"), "w", encoding="utf-8") as f:
            f.write('#include <windows.h>\n#include "merged.rc"\n')
        compiled = subprocess.run([WINDRES, "-O", "coff", "-o", self.path("strings.o"), self.path("module.rc")],
                                  capture_output=True, text=True)
        self.assertEqual(compiled.returncode, 0, compiled.stderr)

    def test_missing_translations_are_filled_and_counted(self):
        def drop_names(text):
            return re.sub(r'msgctxt "100(0[0-5]) row 0\.\d+: name"\nmsgid "[^"]*"\nmsgstr "[^"]*"\n', "", text)
        self.broken_copy(drop_names)
        table, report = self.table(self.path("broken"), "filled.rc")
        self.assertIn("German: 95 strings translated, 6 filled from English (10000, 10001, 10002, 10003, "
                      "10004, 10005)", report)
        german = table[table.index("LANGUAGE LANG_GERMAN"):table.index("// pseudo-locale")]
        self.assertIn('10003  "Secure VPN"', german)
        self.assertIn("1 QVLANGSTATUS\nBEGIN\n  95, 6, 10000, 10001, 10002, 10003, 10004, 10005\nEND", german)

    def test_dropped_ampersands_fail_at_their_line(self):
        text = self.broken_copy(lambda t: t.replace('msgstr "SCHÜTZEN && REPARIEREN"', 'msgstr "SCHÜTZEN UND REPARIEREN"'))
        self.expect_error_at(text, 'msgstr "SCHÜTZEN UND', '"&&" \\(drawn as one &\\): the English has 1')

    def test_added_line_break_fails_at_its_line(self):
        text = self.broken_copy(lambda t: t.replace('msgstr "Kategorie"', 'msgstr "Kate\\ngorie"'))
        self.expect_error_at(text, 'msgstr "Kate', "line breaks: the English has 0, the translation 1")

    def test_never_translated_string_fails_at_its_line(self):
        entry = 'msgctxt "2 registry key"\nmsgid "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths"\nmsgstr "x"\n'
        text = self.broken_copy(lambda t: t + "\n" + entry)
        self.expect_error_at(text, 'msgstr "x"', "string 2 is never translated")

    def test_malformed_file_fails_with_msgfmt_naming_the_line(self):
        text = self.broken_copy(lambda t: t.replace('msgstr "Kategorie"', 'msgstr Kategorie'))
        self.expect_error_at(text, "msgstr Kategorie", "syntax error")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
