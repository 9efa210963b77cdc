#!/usr/bin/env python3
"""Builds the launcher's string tables from its readable data files and the
translations.

    gen-strings.py [--languages DIR [--glossaries DIR]] [--pseudo [--pseudo-as LANGUAGE]]
                   [--mirrored [--mirrored-as LANGUAGE]] INPUT... OUTPUT.rc
                        write the STRINGTABLE resource script: English, then
                        one complete table per translation DIR/<code>.po (see
                        LANGUAGES), each checked against its glossary
                        (--glossaries, default DIR/glossary, <code>.po), then
                        the pseudo-locale qps-ploc generated from English
                        (filed under LANGUAGE instead of 0x0501, if given),
                        then the mirrored pseudo-locale qps-plocm: the English
                        texts, read right to left (filed under LANGUAGE
                        instead of 0x09FF, if given); prints per language how
                        many strings were translated, how many filled from
                        English, and the glossary check
    gen-strings.py --template OUTPUT.pot INPUT...
                        write the translators' template (see gen_strings_po.py)
    gen-strings.py --list INPUT...
                        print the catalogue rows, one a line: t, program,
                        arguments, icon file, separated by the unit separator
                        (0x1F), which no text holds; used by the demo machine

Every input file has the same grammar (res/strings.txt and res/catalogue.txt
describe it at their top):

    # comment                   whole-line comments; blank lines are ignored
    [general]                   general strings:    <id> = <text>   (id 1..9999)
    [category K]                K = 0..4:           caption = <text>, text = <text>
    [row K.I]                   K = 0..4, I = 0..49: name, description, program,
                                arguments, icon file, icon index = <text>

A line that begins with blanks continues the previous value (joined with one
blank). Texts are taken exactly as written between the '=' and the end of the
line, without surrounding blanks: backslashes, quotes, percent signs and
ampersands ("&&" stays "&&") reach the string table unchanged.

Identifiers: category K's caption is 11000 + 1000 K, its text 21000 + 1000 K;
row K.I (t = 100 K + I) has name 10000 + t, description 20000 + t, program
30000 + t, arguments 40000 + t, icon file 50000 + t, icon index 60000 + t.

Every table of another language holds every string the English one holds:
what a translation lacks is taken from its base's PO file if it is a regional
variant (see LANGUAGES), and otherwise filled from English (a string table is stored in
blocks of 16, and a block with one string missing would lose it outright), and
what is never translated (general strings below 10, every row's program,
arguments and icon) is copied. Under the same LANGUAGE each such table has a
QVLANGSTATUS resource (name 1) of 16-bit words: the number of strings
translated, the number filled from English, then the filled identifiers in
ascending order.

Any malformed line, unknown key, duplicate identifier or out-of-range number,
and any malformed translation, is an error: the script names the file and
line, writes nothing and exits 1. So does a language without its glossary,
and a translated item name or category caption whose English the glossary
records but which is neither the glossary's term nor its short form
(gen_strings_glossary.py).
"""

import argparse
import os
import re
import sys
import tempfile

sys.dont_write_bytecode = True  # the build runs this from the source tree: leave no __pycache__ there
import gen_strings_glossary
import gen_strings_po
import gen_strings_pseudo

# The languages besides English: the PO file res/lang/<code>.po, its glossary
# res/lang/glossary/<code>.po, the LANGUAGE statement its table is filed
# under, and for a regional variant the variant it differs from. A language
# whose regions share it is filed under the neutral sublanguage (de, not
# de-DE), so that every region (de-AT, fr-BE, nl-BE) finds it as its
# language's table; a regional variant, and a language Windows ships for one
# region only where the neutral LANGID would be another language's (Bokmål,
# Serbian Latin, the Chinese scripts), under its region.
#
# A regional variant's PO file translates only the strings where its words
# differ from its base's (British spelling, Canadian French's own terms); its
# table takes every other string from the base's PO file, then from English.
# Its glossary likewise records what differs, over the base's glossary. The
# base of British English is the English source itself.
#
# To add a language: its PO file (msginit from the template), its glossary
# and a line here.
ENGLISH_SOURCE = ""   # the base of a variant of English: the source texts
LANGUAGES = [
    ("de", "German", "LANG_GERMAN, SUBLANG_NEUTRAL", None),
    ("fr", "French", "LANG_FRENCH, SUBLANG_NEUTRAL", None),
    ("es", "Spanish", "LANG_SPANISH, SUBLANG_NEUTRAL", None),
    ("it", "Italian", "LANG_ITALIAN, SUBLANG_NEUTRAL", None),
    ("pt_BR", "Brazilian Portuguese", "LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN", None),
    ("nl", "Dutch", "LANG_DUTCH, SUBLANG_NEUTRAL", None),
    ("pl", "Polish", "LANG_POLISH, SUBLANG_NEUTRAL", None),
    ("ru", "Russian", "LANG_RUSSIAN, SUBLANG_NEUTRAL", None),
    ("tr", "Turkish", "LANG_TURKISH, SUBLANG_NEUTRAL", None),
    ("ja", "Japanese", "LANG_JAPANESE, 0x01", None),  # SUBLANG_JAPANESE_JAPAN: windres leaves it unexpanded
    ("ko", "Korean", "LANG_KOREAN, SUBLANG_KOREAN", None),
    ("zh_CN", "Simplified Chinese", "LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED", None),
    ("zh_TW", "Traditional Chinese", "LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL", None),
    ("ar", "Arabic", "LANG_ARABIC, SUBLANG_NEUTRAL", None),
    ("he", "Hebrew", "LANG_HEBREW, SUBLANG_NEUTRAL", None),
    ("bg", "Bulgarian", "LANG_BULGARIAN, SUBLANG_NEUTRAL", None),
    ("hr", "Croatian", "LANG_CROATIAN, SUBLANG_NEUTRAL", None),                  # 0x001A, hr
    ("cs", "Czech", "LANG_CZECH, SUBLANG_NEUTRAL", None),
    ("da", "Danish", "LANG_DANISH, SUBLANG_NEUTRAL", None),
    ("et", "Estonian", "LANG_ESTONIAN, SUBLANG_NEUTRAL", None),
    ("fi", "Finnish", "LANG_FINNISH, SUBLANG_NEUTRAL", None),
    ("el", "Greek", "LANG_GREEK, SUBLANG_NEUTRAL", None),
    ("hu", "Hungarian", "LANG_HUNGARIAN, SUBLANG_NEUTRAL", None),
    ("lv", "Latvian", "LANG_LATVIAN, SUBLANG_NEUTRAL", None),
    ("lt", "Lithuanian", "LANG_LITHUANIAN, SUBLANG_NEUTRAL", None),
    ("nb", "Norwegian (Bokmål)", "LANG_NORWEGIAN, 0x01", None),                # 0x0414, nb-NO
    ("ro", "Romanian", "LANG_ROMANIAN, SUBLANG_NEUTRAL", None),
    ("sr@latin", "Serbian (Latin)", "LANG_SERBIAN, 0x09", None),               # 0x241A, sr-Latn-RS
    ("sk", "Slovak", "LANG_SLOVAK, SUBLANG_NEUTRAL", None),
    ("sl", "Slovenian", "LANG_SLOVENIAN, SUBLANG_NEUTRAL", None),
    ("sv", "Swedish", "LANG_SWEDISH, SUBLANG_NEUTRAL", None),
    ("uk", "Ukrainian", "LANG_UKRAINIAN, SUBLANG_NEUTRAL", None),
    ("th", "Thai", "LANG_THAI, SUBLANG_NEUTRAL", None),
    ("en_GB", "English (United Kingdom)", "LANG_ENGLISH, 0x02", ENGLISH_SOURCE),  # 0x0809
    ("fr_CA", "French (Canada)", "LANG_FRENCH, 0x03", "fr"),                     # 0x0C0C
    ("es_MX", "Spanish (Mexico)", "LANG_SPANISH, 0x02", "es"),                   # 0x080A
    ("pt_PT", "Portuguese (Portugal)", "LANG_PORTUGUESE, 0x02", "pt_BR"),        # 0x0816
]
ENGLISH = "LANG_ENGLISH, SUBLANG_ENGLISH_US"
PSEUDO = "0x101, 0x01"  # qps-ploc, LANGID 0x0501
MIRRORED = "0x1FF, 0x02"  # qps-plocm, LANGID 0x09FF

# String READING_ORDER of each table says how the table reads: "LTR" as the
# English, or "RTL" for the languages written right to left, whose tables make
# the launcher mirror its window. It is set here, never translated.
READING_ORDER = 9
RIGHT_TO_LEFT = {"ar", "he"}

CATEGORY_COUNT = 5
ROW_INDEX_COUNT = 50
MAX_PATH_TEXT = 259        # paths and arguments: MAX_PATH including the terminator
MAX_STRING_TEXT = 4096     # one string-table entry

CATEGORY_KEYS = {"caption": 11000, "text": 21000}
ROW_KEYS = {
    "name": 10000,
    "description": 20000,
    "program": 30000,
    "arguments": 40000,
    "icon file": 50000,
    "icon index": 60000,
}
PATH_KEYS = {"program", "arguments", "icon file"}


class DataError(Exception):
    pass


class Entry:
    """One string of the table and where it was written."""

    def __init__(self, ident, text, where, section, key):
        self.ident = ident
        self.text = text
        self.where = where
        self.section = section
        self.key = key


def parse_section(header, where):
    body = header.strip()
    if body == "general":
        return ("general",)
    m = re.fullmatch(r"category\s+(-?\d+)", body)
    if m:
        k = int(m.group(1))
        if not 0 <= k < CATEGORY_COUNT:
            raise DataError(f"{where}: category {k} is out of range 0..{CATEGORY_COUNT - 1}")
        return ("category", k)
    m = re.fullmatch(r"row\s+(-?\d+)\s*\.\s*(-?\d+)", body)
    if m:
        k, i = int(m.group(1)), int(m.group(2))
        if not 0 <= k < CATEGORY_COUNT:
            raise DataError(f"{where}: row {k}.{i}: category {k} is out of range 0..{CATEGORY_COUNT - 1}")
        if not 0 <= i < ROW_INDEX_COUNT:
            raise DataError(f"{where}: row {k}.{i}: index {i} is out of range 0..{ROW_INDEX_COUNT - 1}")
        return ("row", k, i)
    raise DataError(f"{where}: unknown section [{header}] "
                    "(expected [general], [category K] or [row K.I])")


def section_name(section):
    if section[0] == "general":
        return "[general]"
    if section[0] == "category":
        return f"[category {section[1]}]"
    return f"[row {section[1]}.{section[2]}]"


def identifier(section, key, where):
    if section[0] == "general":
        if not re.fullmatch(r"\d+", key):
            raise DataError(f"{where}: in [general] the key must be a string number, not '{key}'")
        ident = int(key)
        if not 1 <= ident <= 9999:
            raise DataError(f"{where}: general string {ident} is out of range 1..9999 "
                            "(10000 and up belong to the catalogue)")
        return ident
    if section[0] == "category":
        if key not in CATEGORY_KEYS:
            raise DataError(f"{where}: unknown key '{key}' in {section_name(section)} "
                            f"(expected {', '.join(CATEGORY_KEYS)})")
        return CATEGORY_KEYS[key] + 1000 * section[1]
    if key not in ROW_KEYS:
        raise DataError(f"{where}: unknown key '{key}' in {section_name(section)} "
                        f"(expected {', '.join(ROW_KEYS)})")
    return ROW_KEYS[key] + 100 * section[1] + section[2]


def read_file(path):
    """Returns the file's entries in the order written."""
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
    except (OSError, UnicodeDecodeError) as e:
        raise DataError(f"{path}: cannot read: {e}")
    entries = []
    section = None
    last = None          # the entry a continuation line extends
    for number, raw in enumerate(lines, 1):
        where = f"{path}:{number}"
        line = raw.rstrip("\r")
        if "\t" in line:
            line = line.replace("\t", "    ")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        if line[0] == " ":
            if last is None:
                raise DataError(f"{where}: continuation line without a value to continue")
            last.text += " " + line.strip()
            continue
        if line.startswith("["):
            if not line.rstrip().endswith("]"):
                raise DataError(f"{where}: section header without closing ']'")
            section = parse_section(line.rstrip()[1:-1], where)
            last = None
            continue
        if section is None:
            raise DataError(f"{where}: '{line.strip()}' comes before any section header")
        if "=" not in line:
            raise DataError(f"{where}: expected 'key = text'")
        key, text = line.split("=", 1)
        key = " ".join(key.split()).lower()
        text = text.strip()
        last = Entry(identifier(section, key, where), text, where, section, key)
        entries.append(last)
    return entries


def check(entries):
    seen = {}
    for e in entries:
        if e.ident in seen:
            raise DataError(f"{e.where}: string {e.ident} ({section_name(e.section)} {e.key}) "
                            f"is already defined at {seen[e.ident].where}")
        seen[e.ident] = e
        if not e.text:
            raise DataError(f"{e.where}: {section_name(e.section)} {e.key} is empty "
                            "(leave the line out instead)")
        for ch in e.text:
            if ord(ch) < 0x20 or ord(ch) == 0x7F:
                raise DataError(f"{e.where}: control character U+{ord(ch):04X} in the text")
        limit = MAX_PATH_TEXT if e.key in PATH_KEYS else MAX_STRING_TEXT
        if len(e.text) > limit:
            raise DataError(f"{e.where}: {section_name(e.section)} {e.key} is {len(e.text)} "
                            f"characters long (at most {limit})")
        if e.key == "icon index" and not re.fullmatch(r"-?\d+", e.text):
            raise DataError(f"{e.where}: icon index '{e.text}' is not a decimal number")
    return sorted(entries, key=lambda e: e.ident)


def rc_literal(text):
    """A string literal that the resource compiler reads back as `text`. Narrow
    literals: under code page 65001 windres converts them from UTF-8 correctly,
    wide (L"") ones it does not."""
    out = []
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ch == '"':
            out.append('""')
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def render_table(entries, text_of):
    kinds = {"general": 0, "category": 1, "row": 2}
    groups = {}
    for e in entries:
        groups.setdefault(e.section, []).append(e)
    lines = []
    # One block per section keeps a row's strings together in the listing; the
    # compiler sorts them into the table's 16-string bundles itself.
    for section in sorted(groups, key=lambda s: (kinds[s[0]], s[1:])):
        lines.append(f"// {section_name(section)}")
        lines.append("STRINGTABLE")
        lines.append("BEGIN")
        for e in sorted(groups[section], key=lambda e: e.ident):
            lines.append(f"  {e.ident:<6} {rc_literal(text_of(e))}")
        lines.append("END")
        lines.append("")
    return lines


def render(entries, inputs, translations):
    """`translations`: (name, LANGUAGE statement, {id: text}, note or None,
    right to left, origin or None) per language; a regional variant's origin
    is (its own strings' ids, the base's name)."""
    names = ", ".join(os.path.basename(p) for p in inputs)
    lines = [
        f"// Generated by tools/gen-strings.py from {names} and the translations: edit those, not this.",
        "#pragma code_page(65001)",
        "",
        f"LANGUAGE {ENGLISH}",
    ]
    lines += render_table(entries, lambda e: e.text)
    for name, language, texts, note, rtl, origin in translations:
        filled = [e.ident for e in entries if gen_strings_po.is_translatable(e) and e.ident not in texts]
        settings = {READING_ORDER: "RTL"} if rtl else {}
        lines += [f"// {name}", f"LANGUAGE {language}"]
        lines += render_table(entries, lambda e: settings.get(e.ident, texts.get(e.ident, e.text)))
        words = [len(texts), len(filled)] + filled
        lines += ["1 QVLANGSTATUS", "BEGIN", "  " + ", ".join(str(w) for w in words), "END", ""]
        shown = ", ".join(str(i) for i in filled[:10]) + (f" and {len(filled) - 10} more" if len(filled) > 10 else "")
        own = ""
        if origin:
            own_ids, base_name = origin
            own = (f" ({len(own_ids)} of its own, {len(texts) - len(own_ids)} from {base_name})" if base_name
                   else " (its own; where it does not differ, the English source's)")
        print(f"gen-strings.py: {name}: {len(texts)} strings translated{own}, {len(filled)} filled from English"
              + (f" ({shown})" if filled else "") + (f"; {note}" if note else ""))
    # Every resource after this script (the artwork) stays English, as before.
    lines.append(f"LANGUAGE {ENGLISH}")
    return "\n".join(lines)


def read_languages(folder, glossaries, entries, msgfmt):
    english = {e.ident: e for e in entries}
    names = gen_strings_glossary.english_names(entries)
    known = {code: (name, language, base) for code, name, language, base in LANGUAGES}
    read = {}

    def read_language(code):
        """(texts, places, glossary, header language) of one PO file and its
        glossary, read once; a regional variant's over its base's."""
        if code in read:
            return read[code]
        path = os.path.join(folder, code + ".po")
        name, _, base = known[code]
        glossary_path = os.path.join(glossaries, code + ".po")
        if not os.path.isfile(glossary_path):
            raise DataError(f"{path}: the language has no glossary {glossary_path}: every language has one, "
                            "which its item names and captions are checked against")
        places, header = {}, {}
        try:
            texts = gen_strings_po.read_translations(path, english, MAX_STRING_TEXT, msgfmt, places=places,
                                                     header=header)
            glossary = gen_strings_glossary.read_glossary(glossary_path, names, header.get("Language"), msgfmt)
        except gen_strings_po.PoError as e:
            raise DataError(str(e))
        if base:
            if base not in known or not os.path.isfile(os.path.join(folder, base + ".po")):
                raise DataError(f"{path}: {name} takes the strings it does not translate from "
                                f"{os.path.join(folder, base + '.po')}, which is missing")
            base_texts, base_places, base_glossary, _ = read_language(base)
            base_name = known[base][0]
            own = texts
            texts = dict(base_texts)
            texts.update(own)
            for ident in base_texts:
                if ident not in own:
                    places[ident] = (f"{base_places[ident]} ({base_name}'s, which {name} takes: give {name} "
                                     f"its own in {path})")
            glossary = gen_strings_glossary.overlay(base_glossary, glossary)
        read[code] = (texts, places, glossary, header.get("Language"))
        return read[code]

    translations = []
    for file in sorted(os.listdir(folder)):
        code, extension = os.path.splitext(file)
        if extension != ".po":
            continue
        path = os.path.join(folder, file)
        if code not in known:
            raise DataError(f"{path}: no language '{code}' in LANGUAGES (tools/gen-strings.py): add one")
        name, language, base = known[code]
        texts, places, glossary, _ = read_language(code)
        try:
            checked, unrecorded = gen_strings_glossary.check_names(glossary, english, texts, places)
        except gen_strings_po.PoError as e:
            raise DataError(str(e))
        origin = None
        if base is not None:
            own = [i for i in texts if places.get(i, "").startswith(path + ":")]
            origin = (own, known[base][0] if base else None)
        translations.append((name, language, texts, gen_strings_glossary.summary(checked, unrecorded, english),
                             code in RIGHT_TO_LEFT or base in RIGHT_TO_LEFT, origin))
    return translations


def source_of(entry):
    """(file relative to the repository, line) of an entry, for the template."""
    path, line = entry.where.rsplit(":", 1)
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    return os.path.relpath(os.path.abspath(path), top).replace(os.sep, "/"), line


def write_atomically(path, content):
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    fd, tmp = tempfile.mkstemp(dir=folder, prefix=".strings-", suffix=".tmp")
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as f:
            f.write(content)
        os.replace(tmp, path)
    except BaseException:
        os.unlink(tmp)
        raise


def list_rows(entries):
    rows = {}
    for e in entries:
        if e.section[0] == "row":
            k, i = e.section[1], e.section[2]
            rows.setdefault(100 * k + i, {})[e.key] = e.text
    for t in sorted(rows):
        r = rows[t]
        print("\x1f".join([str(t), r.get("program", ""), r.get("arguments", ""), r.get("icon file", "")]))


def main(argv):
    parser = argparse.ArgumentParser(prog="gen-strings.py", usage=__doc__.split("\n\n")[1])
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--template", metavar="OUTPUT.pot")
    parser.add_argument("--languages", metavar="DIR")
    parser.add_argument("--glossaries", metavar="DIR")
    parser.add_argument("--pseudo", action="store_true")
    parser.add_argument("--pseudo-as", default=PSEUDO, metavar="LANGUAGE")
    parser.add_argument("--mirrored", action="store_true")
    parser.add_argument("--mirrored-as", default=MIRRORED, metavar="LANGUAGE")
    parser.add_argument("--msgfmt", default="msgfmt")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args(argv)
    producing = not args.list and not args.template
    inputs = args.files[:-1] if producing else args.files
    if not inputs:
        parser.error("no input file")
    try:
        entries = []
        for path in inputs:
            entries.extend(read_file(path))
        written = list(entries)
        entries = check(entries)
        order = next((e for e in entries if e.ident == READING_ORDER), None)
        if producing and (order is None or order.text != "LTR"):
            raise DataError(f"general string {READING_ORDER}, the English table's reading order, must be LTR")
        if args.list:
            list_rows(entries)
        elif args.template:
            write_atomically(args.template, gen_strings_po.template(written, source_of))
        else:
            glossaries = args.glossaries or os.path.join(args.languages or "", "glossary")
            translations = read_languages(args.languages, glossaries, entries, args.msgfmt) if args.languages else []
            if args.pseudo:
                pseudo = {e.ident: gen_strings_pseudo.pseudo(e.text)
                          for e in entries if gen_strings_po.is_translatable(e)}
                translations.append(("pseudo-locale qps-ploc", args.pseudo_as, pseudo, None, False, None))
            if args.mirrored:
                english = {e.ident: e.text for e in entries if gen_strings_po.is_translatable(e)}
                translations.append(("mirrored pseudo-locale qps-plocm", args.mirrored_as, english, None, True, None))
            write_atomically(args.files[-1], render(entries, inputs, translations))
    except DataError as e:
        print(f"gen-strings.py: error: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
