#!/usr/bin/env python3
"""Builds the launcher's string table from its readable data files.

    gen-strings.py INPUT... OUTPUT.rc      write the STRINGTABLE resource script
    gen-strings.py --list INPUT...         print the catalogue rows, one a line:
                                           t, program, arguments, icon file, separated
                                           by the unit separator (0x1F), which no text
                                           holds; used by the demo machine

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

Any malformed line, unknown key, duplicate identifier or out-of-range number
is an error: the script names the file and line, writes nothing and exits 1.
"""

import os
import re
import sys
import tempfile

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


def render(entries, inputs):
    names = ", ".join(os.path.basename(p) for p in inputs)
    lines = [
        f"// Generated by tools/gen-strings.py from {names}: edit those files, not this one.",
        "#pragma code_page(65001)",
        "",
    ]
    kinds = {"general": 0, "category": 1, "row": 2}
    groups = {}
    for e in entries:
        groups.setdefault(e.section, []).append(e)
    # One block per section keeps a row's strings together in the listing; the
    # compiler sorts them into the table's 16-string bundles itself.
    for section in sorted(groups, key=lambda s: (kinds[s[0]], s[1:])):
        lines.append(f"// {section_name(section)}")
        lines.append("STRINGTABLE")
        lines.append("BEGIN")
        for e in sorted(groups[section], key=lambda e: e.ident):
            lines.append(f"  {e.ident:<6} {rc_literal(e.text)}")
        lines.append("END")
        lines.append("")
    return "\n".join(lines)


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
    listing = bool(argv) and argv[0] == "--list"
    args = argv[1:] if listing else argv
    if (listing and not args) or (not listing and len(args) < 2):
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    inputs = args if listing else args[:-1]
    try:
        entries = []
        for path in inputs:
            entries.extend(read_file(path))
        entries = check(entries)
    except DataError as e:
        print(f"gen-strings.py: error: {e}", file=sys.stderr)
        return 1
    if listing:
        list_rows(entries)
    else:
        write_atomically(args[-1], render(entries, inputs))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
