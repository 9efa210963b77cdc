"""The translators' workflow with the real files: tools/update-po.sh (template,
msgmerge --previous), string tables, resource compiler; broken PO files and
names that depart from their glossary stopping the generator at their file
and line.     po_workflow_tests.py SOURCE_DIR WINDRES MSGMERGE"""

import importlib.util
import os
import re
import shutil
import struct
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


def gen_strings_module():
    sys.dont_write_bytecode = True
    sys.path.insert(0, os.path.join(TOP, "tools"))
    found = importlib.util.spec_from_file_location("gen_strings", os.path.join(TOP, "tools", "gen-strings.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def res_string_tables(path):
    """{text of string 9: LANGID} of every string block 1 in a .res file."""
    with open(path, "rb") as f:
        data = f.read()
    tables, at = {}, 0
    while at + 8 <= len(data):
        size, header_size = struct.unpack_from("<II", data, at)
        header = data[at + 8:at + header_size]

        def field(p):  # an ordinal or a name
            if header[p:p + 2] == b"\xff\xff":
                return struct.unpack_from("<H", header, p + 2)[0], p + 4
            end = p
            while header[end:end + 2] != b"\0\0":
                end += 2
            return header[p:end].decode("utf-16le"), end + 2
        kind, p = field(0)
        name, p = field(p)
        p += -p % 4
        language = struct.unpack_from("<IHH", header, p)[2]
        if kind == 6 and name == 1:
            body, q = data[at + header_size:at + header_size + size], 0
            for n in range(16):
                length = struct.unpack_from("<H", body, q)[0]
                if n == 9:
                    tables[body[q + 2:q + 2 + 2 * length].decode("utf-16le")] = language
                q += 2 + 2 * length
        at += header_size + size
        at += -at % 4
    return tables


# The LANGID each language's table must be filed under: what the launcher
# matches the user's UI language and its parents against (by locale name).
FILED_UNDER = {
    "de": 0x0007, "fr": 0x000C, "es": 0x000A, "it": 0x0010, "pt_BR": 0x0416, "nl": 0x0013, "pl": 0x0015,
    "ru": 0x0019, "tr": 0x001F, "ja": 0x0411, "ko": 0x0412, "zh_CN": 0x0804, "zh_TW": 0x0404, "ar": 0x0001,
    "he": 0x000D, "bg": 0x0002, "hr": 0x001A, "cs": 0x0005, "da": 0x0006, "et": 0x0025, "fi": 0x000B,
    "el": 0x0008, "hu": 0x000E, "lv": 0x0026, "lt": 0x0027, "nb": 0x0414, "ro": 0x0018, "sr@latin": 0x241A,
    "sk": 0x001B, "sl": 0x0024, "sv": 0x001D, "uk": 0x0022, "th": 0x001E, "en_GB": 0x0809, "fr_CA": 0x0C0C,
    "es_MX": 0x080A, "pt_PT": 0x0816,
}


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

    def table_of(self, languages, glossaries):
        result = generate("--languages", languages, "--glossaries", glossaries, "--pseudo", *DATA,
                          os.path.join(self.work, "of.rc"))
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.work, "of.rc"), encoding="utf-8") as f:
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
        self.assertEqual(len(re.findall(r"\d+ strings translated(?: \([^)]*\))?, \d+ filled from English", report)),
                         languages + 2)
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

    def test_every_language_is_filed_under_its_langid(self):
        languages = gen_strings_module().LANGUAGES
        self.assertEqual(sorted(code for code, *_ in languages), sorted(FILED_UNDER))
        script = "#include <windows.h>\n" + "".join(f'LANGUAGE {statement}\nSTRINGTABLE\nBEGIN\n  9 "{code}"\nEND\n'
                                                      for code, _, statement, _ in languages)
        self.write(os.path.join(self.work, "languages.rc"), script)
        compiled = subprocess.run([WINDRES, "-O", "res", "-o", os.path.join(self.work, "languages.res"),
                                   os.path.join(self.work, "languages.rc")], capture_output=True, text=True)
        self.assertEqual(compiled.returncode, 0, compiled.stderr)
        self.assertEqual(res_string_tables(os.path.join(self.work, "languages.res")), FILED_UNDER)

    def test_regional_variant_takes_what_it_does_not_translate_from_its_base(self):
        # A French translating two strings and a French (Canada) translating
        # a name and a caption its own way, each with a small glossary.
        def po(language, *entries):
            return ('msgid ""\nmsgstr ""\n"Language: ' + language + '\\n"\n'
                    '"Content-Type: text/plain; charset=UTF-8\\n"\n"Plural-Forms: nplurals=2; plural=(n > 1);\\n"\n'
                    + "".join(f'\nmsgctxt "{c}"\nmsgid "{e}"\nmsgstr "{t}"\n' for c, e, t in entries))
        folder, glossaries = os.path.join(self.work, "regional"), os.path.join(self.work, "glossaries")
        self.write(os.path.join(folder, "fr.po"), po("fr", ("12000 category 1: caption", "SECURE", "SÉCURISER"),
                                                     ("10004 row 0.4: name", "Network Connections", "Connexions réseau")))
        self.write(os.path.join(glossaries, "fr.po"), po("fr", ("Windows", "Network Connections", "Connexions réseau")))
        self.write(os.path.join(folder, "fr_CA.po"), po("fr_CA", ("10004 row 0.4: name", "Network Connections",
                                                                  "Connexions au réseau"),
                                                        ("11000 category 0: caption", "CONNECT", "BRANCHER")))
        self.write(os.path.join(glossaries, "fr_CA.po"), po("fr_CA", ("Velmora", "CONNECT", "BRANCHER")))
        # Network Connections is a Windows name the French glossary records and
        # the Canadian one does not change: the Canadian name departs from it.
        result = generate("--languages", folder, "--glossaries", glossaries, *DATA, os.path.join(self.work, "r.rc"))
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"fr_CA\.po:\d+: the item name \"Connexions au réseau\" .*glossaries/fr\.po")
        self.write(os.path.join(glossaries, "fr_CA.po"), po("fr_CA", ("Velmora", "CONNECT", "BRANCHER"),
                                                            ("Windows", "Network Connections", "Connexions au réseau")))
        table, report = self.table_of(folder, glossaries)
        canadian = table[table.index("// French (Canada)"):table.index("// pseudo-locale")]
        self.assertIn("LANGUAGE LANG_FRENCH, 0x03", canadian)
        self.assertIn('10004  "Connexions au réseau"', canadian)  # its own
        self.assertIn('11000  "BRANCHER"', canadian)
        self.assertIn('12000  "SÉCURISER"', canadian)             # French's
        self.assertIn('10003  "Secure VPN"', canadian)            # neither's: English
        self.assertIn("1 QVLANGSTATUS\nBEGIN\n  3, 98, 10", canadian)
        self.assertRegex(report, r"French \(Canada\): 3 strings translated \(2 of its own, 1 from French\), "
                                 r"98 filled from English \(10, .*; glossary: 2 names checked")
        # What it takes from French is checked against its glossary too, and a
        # departing French name is named at the French PO file's line.
        self.write(os.path.join(glossaries, "fr_CA.po"), po("fr_CA", ("Velmora", "CONNECT", "BRANCHER"),
                                                            ("Windows", "Network Connections", "Connexions au réseau"),
                                                            ("Velmora", "SECURE", "PROTÉGER")))
        result = generate("--languages", folder, "--glossaries", glossaries, *DATA, os.path.join(self.work, "r.rc"))
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"regional/fr\.po:\d+ \(French's, which French \(Canada\) takes: give French "
                                        r"\(Canada\) its own in .*fr_CA\.po\): the caption \"SÉCURISER\"")
        # A variant without its base's PO file stops the build.
        os.remove(os.path.join(folder, "fr.po"))
        result = generate("--languages", folder, "--glossaries", glossaries, *DATA, os.path.join(self.work, "r.rc"))
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"fr_CA\.po: French \(Canada\) takes the strings it does not translate "
                                        r"from .*fr\.po, which is missing")

    def test_british_english_is_the_source_where_it_does_not_differ(self):
        table, report = self.table(LANGUAGES, "british.rc")
        british = table[table.index("// English (United Kingdom)"):]
        british = british[:british.index("QVLANGSTATUS")]
        self.assertIn('14000  "OPTIMISE"', british)
        self.assertIn('10101  "Security Centre"', british)
        self.assertIn('11000  "CONNECT"', british)
        self.assertIn('18     "Close"', british)
        self.assertRegex(report, r"English \(United Kingdom\): \d+ strings translated \(its own; where it does not "
                                 r"differ, the English source's\), \d+ filled from English")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
