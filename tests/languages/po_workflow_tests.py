"""The translators' workflow with the real files: tools/update-po.sh (template,
msgmerge --previous), string tables, resource compiler; broken PO files and
names that depart from their glossary stopping the generator at their file
and line.     po_workflow_tests.py SOURCE_DIR WINDRES MSGMERGE"""

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
GLOSSARIES = os.path.join(LANGUAGES, "glossary")


def generate(*args, top=TOP):
    return subprocess.run([sys.executable, os.path.join(top, "tools", "gen-strings.py"), *args],
                          capture_output=True, text=True)


def glossary(*entries):
    """A German glossary's text: the header, then (kind, English, term) entries."""
    text = 'msgid ""\nmsgstr ""\n"Language: de\\n"\n"Content-Type: text/plain; charset=UTF-8\\n"\n' \
           '"Plural-Forms: nplurals=2; plural=(n != 1);\\n"\n'
    return text + "".join(f'\nmsgctxt "{k}"\nmsgid "{e}"\nmsgstr "{t}"\n' for k, e, t in entries)


class Workflow(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="po-workflow-")
        self.addCleanup(shutil.rmtree, self.work)

    def table(self, languages, name, top=TOP):
        result = generate("--languages", languages, "--glossaries", os.path.join(top, "res", "lang", "glossary"),
                          "--pseudo", "--mirrored", *DATA, os.path.join(self.work, name), top=top)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.work, name), encoding="utf-8") as f:
            return f.read(), result.stdout

    def write(self, path, text):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)

    def build_german(self, *glossary_entries):
        """The generator run on the German of german_changed() and a glossary."""
        self.write(os.path.join(self.work, "glossary", "de.po"), glossary(*glossary_entries))
        return generate("--languages", os.path.join(self.work, "de"), "--glossaries",
                        os.path.join(self.work, "glossary"), *DATA, os.path.join(self.work, "x.rc"))

    def german_changed(self, old, new):
        """A folder with the German PO file only, `old` replaced by `new`."""
        with open(os.path.join(LANGUAGES, "de.po"), encoding="utf-8") as f:
            text = f.read()
        self.assertIn(old, text)
        self.write(os.path.join(self.work, "de", "de.po"), text.replace(old, new))
        return text.replace(old, new)

    def update_po(self, tree):
        result = subprocess.run(["bash", os.path.join(tree, "tools", "update-po.sh")], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_template_merge_and_build(self):
        # A copy of the sources the translators' command uses, run there.
        tree = os.path.join(self.work, "tree")
        shutil.copytree(os.path.join(TOP, "tools"), os.path.join(tree, "tools"),
                        ignore=shutil.ignore_patterns("bench", "standin", "__pycache__"))
        shutil.copytree(LANGUAGES, os.path.join(tree, "res", "lang"))
        for path in DATA:
            shutil.copy(path, os.path.join(tree, "res"))
        self.update_po(tree)
        # Merging changes nothing that is built, even after the English changed.
        merged = os.path.join(tree, "res", "lang")
        table, report = self.table(merged, "merged.rc", top=tree)
        self.assertEqual(table, self.table(LANGUAGES, "committed.rc")[0])
        # One line per PO file and one per pseudo-locale.
        languages = len([f for f in os.listdir(LANGUAGES) if f.endswith(".po")])
        self.assertEqual(len(re.findall(r"\d+ strings translated, \d+ filled from English", report)), languages + 2)
        # Arabic, Hebrew and the mirrored pseudo-locale read right to left; every other table as the English.
        self.assertEqual(len(re.findall(r'\n  9 +"RTL"\n', table)), 3)
        self.assertEqual(len(re.findall(r'\n  9 +"LTR"\n', table)), languages + 2 - 3 + 1)
        with open(os.path.join(self.work, "module.rc"), "w") as f:
            f.write('#include <windows.h>\n#include "merged.rc"\n')
        compiled = subprocess.run([WINDRES, "-O", "coff", "-o", os.path.join(self.work, "module.o"),
                                   os.path.join(self.work, "module.rc")], capture_output=True, text=True)
        self.assertEqual(compiled.returncode, 0, compiled.stderr)

        # A changed English text: the merged entry keeps its translation, fuzzy,
        # with the English it translated as "#|", and is shown in English.
        catalogue = os.path.join(tree, "res", "catalogue.txt")
        with open(catalogue, encoding="utf-8") as f:
            text = f.read()
        with open(catalogue, "w", encoding="utf-8") as f:
            f.write(text.replace("name        = Secure VPN", "name        = Secure VPN Client"))
        # The glossaries that record the name follow it (it has no translation yet).
        glossaries = os.path.join(merged, "glossary")
        for name in os.listdir(glossaries):
            with open(os.path.join(glossaries, name), encoding="utf-8") as f:
                glossary = f.read()
            with open(os.path.join(glossaries, name), "w", encoding="utf-8") as f:
                f.write(glossary.replace('msgid "Secure VPN"\n', 'msgid "Secure VPN Client"\n'))
        self.update_po(tree)
        with open(os.path.join(merged, "de.po"), encoding="utf-8") as f:
            merged_german = f.read()
        self.assertIsNotNone(re.search(r'#, fuzzy\n#\| msgctxt "10003 row 0.3: name"\n#\| msgid "Secure VPN"\nmsgctxt "10003 row 0.3: name"\n'
                                       r'msgid "Secure VPN Client"\nmsgstr "\S', merged_german),
                             merged_german[merged_german.find("Secure VPN") - 300:][:600])
        report = generate("--languages", merged, "--glossaries", glossaries, os.path.join(tree, "res", "strings.txt"),
                          catalogue, os.path.join(self.work, "changed.rc")).stdout
        self.assertIn("German: 100 strings translated, 1 filled from English (10003)", report)

    def test_missing_translations_are_filled_and_counted(self):
        self.german_changed('msgstr "Sicheres VPN"', 'msgstr ""')
        table, report = self.table(os.path.join(self.work, "de"), "filled.rc")
        self.assertIn("German: 100 strings translated, 1 filled from English (10003); glossary:", report)
        german = table[table.index("LANGUAGE LANG_GERMAN"):table.index("// pseudo-locale")]
        self.assertIn('10003  "Secure VPN"', german)
        self.assertIn("1 QVLANGSTATUS\nBEGIN\n  100, 1, 10003\nEND", german)

    def test_broken_entries_stop_the_build_at_their_line(self):
        cases = [
            ('msgstr "SCHÜTZEN UND REPARIEREN"', 'msgstr "SCHÜTZEN & REPARIEREN"',
             r'lone "&" \(underlines the next letter\): the English has 0, the translation 1'),
            ('msgstr "Kategorie"', 'msgstr "Kate\\ngorie"', "line breaks: the English has 0, the translation 1"),
            ('msgstr "Kategorie"', "msgstr Kategorie", "syntax error"),  # msgfmt's own report
            ('msgctxt "12 heading', 'msgctxt "2 registry key"\nmsgid "x"\nmsgstr "y"\n\nmsgctxt "12 heading',
             "string 2 is never translated"),
            ('"Plural-Forms: nplurals=2; plural=(n != 1);\\n"', '"X-Plural-Forms: none\\n"',
             "the header has no Plural-Forms"),
        ]
        for old, new, message in cases:
            with self.subTest(message):
                text = self.german_changed(old, new)
                # The line of the changed entry's msgstr.
                lines = (text[:text.index(new)] + new).split("\n")
                wrong = next(n for n in range(len(lines), 0, -1) if lines[n - 1].startswith("msgstr"))
                result = self.build_german()
                self.assertEqual(result.returncode, 1)
                self.assertRegex(result.stderr, rf"de\.po:{wrong}:.*{message}")
                self.assertFalse(os.path.exists(os.path.join(self.work, "x.rc")))

    def test_names_use_their_glossary_term_or_its_short_form(self):
        # Network Connections translated "Netzwerk", whatever the real file says.
        with open(os.path.join(LANGUAGES, "de.po"), encoding="utf-8") as f:
            real = re.search(r'msgid "Network Connections"\nmsgstr ".*"', f.read()).group(0)
        text = self.german_changed(real, 'msgid "Network Connections"\nmsgstr "Netzwerk"')
        line = text[:text.index('msgstr "Netzwerk"')].count("\n") + 1
        term = ("Windows", "Network Connections", "Netzwerkverbindungen")
        # A caption's "&&" is the one "&" the glossary writes.
        shown = re.search(r'msgid "PROTECT && FIX"\nmsgstr "(.*)"', text).group(1).replace("&&", "&")
        caption = ("Velmora", "PROTECT & FIX", shown)
        departs = self.build_german(term, caption)
        self.assertEqual(departs.returncode, 1)
        self.assertRegex(departs.stderr, rf'de\.po:{line}: the item name "Netzwerk" \(string 10004\) departs from the '
                                         r'glossary: its Windows name for "Network Connections" is '
                                         r'"Netzwerkverbindungen" \(.*glossary/de\.po:\d+\), and it records no short form')
        short = self.build_german(term, caption, ("Windows short form", "Network Connections", "Netzwerk"))
        self.assertEqual(short.returncode, 0, short.stderr)
        self.assertRegex(short.stdout, r"German: \d+ strings translated, 0 filled from English; glossary: 2 names checked")
        # A glossary that cannot be checked against stops the build at its line.
        for entry, message in [(("Windows", "Network", "Netzwerk"), "is no English item name or category caption"),
                               (("Velmora short form", "Secure VPN", "VPN"), "short form of \"Secure VPN\" without"),
                               (("Windows", "Sound", ""), "is empty"), (("name", "Sound", "Sound"), "unknown kind")]:
            with self.subTest(message):
                result = self.build_german(term, entry)
                self.assertEqual(result.returncode, 1)
                self.assertRegex(result.stderr, rf"glossary/de\.po:13: .*{message}")
        os.remove(os.path.join(self.work, "glossary", "de.po"))
        self.assertRegex(generate("--languages", os.path.join(self.work, "de"), "--glossaries",
                                  os.path.join(self.work, "glossary"), *DATA, os.path.join(self.work, "x.rc")).stderr,
                         r"de\.po: the language has no glossary")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
