"""The translators' side of the string table: gettext PO files.

The template (.pot) holds one entry per translatable English string. Its
msgctxt is "<string id> <where it is used>", which keeps rows that share an
English name apart; translator comments say where and how the text is drawn
and how much room it has, in Latin and in CJK characters. A PO file is first
checked by gettext's own `msgfmt --check`, which names the file and line of
anything malformed, then read with Debian's python3-polib; its header must
give the language's Plural-Forms.

Reading a PO file follows gettext: an entry that is fuzzy, empty, or whose
msgid no longer matches the English (the template has changed since the file
was merged) does not translate its string; the English is used. An entry for
a string the catalogue no longer has is ignored with a warning. An entry for a
string that is never translated (registry keys, programs, arguments, icons) is
an error: a translation cannot change them.
"""

import os
import re
import subprocess
import sys


class PoError(Exception):
    pass


# Room is given in Latin characters and in CJK ones (Japanese, Chinese,
# Korean), whose glyphs are about as wide as the font is high: 11 pixels in
# 8-point and 12 in 9-point text at 96 DPI.
WRAPPED = " No last line of a single character, no line starting with 。、）」ー, a small kana or the like."
FOOTER_CAPTION = ("Shown on a button 67 pixels wide: one line, bold 9-point Tahoma (about 8 Latin characters, "
                  "5 CJK characters).")
DESCRIPTION = ("Shown below the utilities, word-wrapped in an area 594 x 43 pixels in 8-point Tahoma: "
               "at most three lines of about 100 Latin characters (about 50 CJK characters) each." + WRAPPED)
CATEGORY_CAPTION = ("Caption of a category button, in capitals: word-wrapped in a box about 116 x 46 pixels, "
                    "bold 9-point Tahoma (two lines of about 12 capitals, or of about 9 CJK characters)." + WRAPPED)
CATEGORY_TEXT = DESCRIPTION + " Shown while the category's button is chosen or has the mouse."
ITEM_NAME = ("Name of a utility, under its icon: word-wrapped in a cell 72 pixels wide, 8-point Tahoma "
             "(two lines of about 12 Latin characters, or of about 5 CJK characters)." + WRAPPED)
ITEM_DESCRIPTION = DESCRIPTION + " Shown while the mouse rests on the utility."
HEADING = "One line 120 pixels wide, bold 9-point Tahoma (about 10 CJK characters)."

# Where each general string is used, and what a translator must know.
GENERAL_USES = {
    10: ("title", "The header's first line: one line about 525 pixels wide, bold 9-point Tahoma "
                  "(about 40 CJK characters), cut off beyond."),
    11: ("subtitle", "The header's second line: one line about 525 pixels wide, bold 9-point Tahoma "
                     "(about 40 CJK characters), cut off beyond."),
    12: ("heading above the category buttons", HEADING),
    13: ("heading above the utilities", HEADING + " Screen readers also read it as the list's name."),
    14: ("Help button: caption", FOOTER_CAPTION),
    15: ("Help button: description", DESCRIPTION),
    16: ("Web site button: caption", FOOTER_CAPTION),
    17: ("Web site button: description", DESCRIPTION),
    18: ("Close button: caption", FOOTER_CAPTION),
    19: ("Close button: description", DESCRIPTION),
    20: ("buttons: default action", "Never shown: what screen readers say Enter does on any of the window's "
                                    "buttons, the system's own word for pressing a push button."),
}
ROW_USES = {"name": ITEM_NAME, "description": ITEM_DESCRIPTION}
CATEGORY_USES = {"caption": CATEGORY_CAPTION, "text": CATEGORY_TEXT}
NAMES = ("Quorvane", "VELMORA")

# %-sequences a program could fill in: printf's and environment variables'.
PERCENT = re.compile(r"%(?:%|[A-Za-z_][A-Za-z0-9_()]*%|[-+#0]*\d*(?:\.\d+)?[A-Za-z])")


def is_translatable(entry):
    """What a user sees or hears; registry keys, programs, arguments and icons
    are the same in every language."""
    if entry.section[0] == "general":
        return entry.ident >= 10
    if entry.section[0] == "category":
        return True
    return entry.key in ROW_USES


def usage(entry, captions):
    """msgctxt and translator comment of a translatable entry; `captions` maps
    a category to its English caption."""
    kind = entry.section[0]
    if kind == "general":
        where, note = GENERAL_USES.get(entry.ident, ("general string", ""))
    elif kind == "category":
        where = f"category {entry.section[1]}: {entry.key}"
        note = CATEGORY_USES[entry.key]
    else:
        k, i = entry.section[1], entry.section[2]
        where = f"row {k}.{i}: {entry.key}"
        note = ROW_USES[entry.key]
        if k in captions:
            note += f" In the category {captions[k]}."
    notes = [note] if note else []
    if "&&" in entry.text:
        notes.append("&& draws one &: keep it or use your language's word for \"and\" (a single & would "
                     "underline the next letter).")
    named = [n for n in NAMES if n in entry.text]
    if named:
        notes.append(" and ".join(named) + (" is a name" if len(named) == 1 else " are names") +
                     ": never translated.")
    return f"{entry.ident} {where}", " ".join(notes)


def template(entries, source_of):
    """The .pot text for the translatable entries, in the order written;
    `source_of(entry)` gives the (file, line) it was read from."""
    captions = {e.section[1]: e.text.replace("&&", "&") for e in entries
                if e.section[0] == "category" and e.key == "caption"}
    import polib  # only here: the rest of the generator needs nothing beyond Python
    pot = polib.POFile(wrapwidth=79)
    pot.header = ("Quorvane's texts, generated by tools/gen-strings.py from res/strings.txt and\n"
                  "res/catalogue.txt. Keep the PO files current with it: bash tools/update-po.sh")
    pot.metadata = {
        "Project-Id-Version": "Quorvane",
        "Report-Msgid-Bugs-To": "",
        "PO-Revision-Date": "YEAR-MO-DA HO:MI+ZONE",
        "Last-Translator": "FULL NAME <EMAIL@ADDRESS>",
        "Language-Team": "LANGUAGE <LL@li.org>",
        "Language": "",
        "MIME-Version": "1.0",
        "Content-Type": "text/plain; charset=UTF-8",
        "Content-Transfer-Encoding": "8bit",
    }
    for e in entries:
        if not is_translatable(e):
            continue
        context, note = usage(e, captions)
        pot.append(polib.POEntry(msgctxt=context, msgid=e.text, msgstr="", comment=note,
                                 occurrences=[source_of(e)]))
    return str(pot)


def markup(text):
    """What a translation must keep, by name. A "&&" (drawn as one "&") may
    become the language's own word for "and", or stay; a lone "&" would
    underline the next letter as an accelerator, so its count must not change."""
    ampersands = re.findall(r"&&|&", text)
    return {
        'lone "&" (underlines the next letter)': ampersands.count("&"),
        "%-sequences": " ".join(sorted(PERCENT.findall(text))) or "none",
        "line breaks": text.count("\n"),
    }


def check_markup(english, translated, where):
    got = markup(translated)
    for what, want in markup(english).items():
        if got[what] != want:
            raise PoError(f"{where}: {what}: the English has {want}, the translation {got[what]}; "
                          "keep exactly the English ones")


def msgstr_line(lines, start):
    """The line (1-based) of the msgstr of the entry that starts at `start`."""
    for number in range(start, len(lines) + 1):
        if lines[number - 1].startswith("msgstr"):
            return number
    return start


def run_msgfmt(path, msgfmt):
    try:
        result = subprocess.run([msgfmt, "--check", "-o", os.devnull, path],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    except OSError as e:
        raise PoError(f"{path}: cannot run {msgfmt} ({e}): run tools/setup-machine.sh (Debian's gettext)")
    if result.returncode != 0:
        raise PoError(f"{path}: malformed PO file; msgfmt --check says:\n{result.stdout.rstrip()}")


def read_po(path, msgfmt="msgfmt"):
    """(polib file, its lines) of a PO file that gettext's msgfmt --check passes."""
    import polib
    run_msgfmt(path, msgfmt)
    try:
        po = polib.pofile(path, wrapwidth=0)
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
    except (OSError, UnicodeDecodeError, ValueError) as e:
        raise PoError(f"{path}: cannot read: {e}")
    return po, lines


def header_line(lines):
    """The line of the header's msgstr (the first entry's)."""
    return msgstr_line(lines, 1)


def check_header(po, path, lines):
    """Every PO file says how its language forms plurals, as gettext's tools
    and editors expect, even where no string has plural forms."""
    if not po.metadata.get("Plural-Forms"):
        raise PoError(f"{path}:{header_line(lines)}: the header has no Plural-Forms "
                      "(msginit writes the language's; e.g. \"Plural-Forms: nplurals=2; plural=(n != 1);\\n\")")


def read_translations(path, english, limit, msgfmt="msgfmt", warn=None, places=None, header=None):
    """{string id: translated text} of one PO file; `english` maps an id to its
    entry, `limit` is the longest text a string may have; `places` and
    `header`, if given, receive {string id: "file:line"} of each translation
    and the header's fields. Raises PoError naming the file and line of the
    first fault."""
    warn = warn or (lambda message: print(f"gen-strings.py: warning: {message}", file=sys.stderr))
    po, lines = read_po(path, msgfmt)
    check_header(po, path, lines)
    if header is not None:
        header.update(po.metadata)
    found = {}
    for entry in po:
        if entry.obsolete:
            continue
        where = f"{path}:{msgstr_line(lines, entry.linenum)}"
        m = re.match(r"(\d+)\b", entry.msgctxt or "")
        if not m:
            raise PoError(f"{where}: msgctxt must start with the string's number, as the template's do")
        ident = int(m.group(1))
        if entry.msgid_plural:
            raise PoError(f"{where}: string {ident} has plural forms; the launcher's strings have none")
        source = english.get(ident)
        if source is None:
            warn(f"{where}: string {ident} is not in the catalogue any more; ignored (update the PO files)")
            continue
        if not is_translatable(source):
            raise PoError(f"{where}: string {ident} is never translated (registry keys, programs, "
                          "arguments and icons are the same in every language)")
        if ident in found:
            raise PoError(f"{where}: string {ident} is translated twice")
        if entry.msgid != source.text:
            warn(f"{where}: string {ident} has changed in English since this file was updated; "
                 "English is used until it is translated again (update the PO files)")
            continue
        if entry.fuzzy or not entry.msgstr:
            continue
        check_markup(source.text, entry.msgstr, where)
        if any(ord(c) < 0x20 and c != "\n" for c in entry.msgstr):
            raise PoError(f"{where}: control character in the translation")
        if len(entry.msgstr) > limit:
            raise PoError(f"{where}: the translation is {len(entry.msgstr)} characters long (at most {limit})")
        found[ident] = entry.msgstr
        if places is not None:
            places[ident] = where
    return found
