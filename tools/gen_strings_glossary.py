"""A language's terminology glossary, res/lang/glossary/<code>.po, and the
check that every translated item name and category caption uses it.

The glossary is a gettext PO file (usable as a msgmerge compendium) with one
entry per term; its msgctxt says the kind:

    "Windows"             a Windows component: the name Windows gives it
    "Velmora"             the maker's own utility: its one name in the language
    "Windows short form", "Velmora short form"
                          the agreed shorter name where the term cannot fit
    "term"                a general term, one word per concept in every text
    "register"            how the texts address the user; typography

The msgid of the four name kinds is an English item name or category caption
exactly as the user sees it ("&&" written as "&"). A translated item name or
caption whose English is such a msgid must be the term or its short form.

A regional variant's glossary (en_GB, fr_CA, es_MX, pt_PT) records the names
where the variant's differ; every other name is its base's glossary's.
"""

import gen_strings_po
from gen_strings_po import PoError

NAME_KINDS = ("Windows", "Velmora")
KINDS = set(NAME_KINDS) | {kind + " short form" for kind in NAME_KINDS} | {"term", "register"}


class Name:
    """The glossary's record of one English name."""

    def __init__(self):
        self.kind = None   # "Windows" or "Velmora"
        self.term = None
        self.term_at = None
        self.short = None
        self.short_at = None


class Glossary:
    def __init__(self, path):
        self.path = path
        self.names = {}    # English name as shown: Name


def shown(text):
    """A caption as its button draws it: "&&" is one "&"."""
    return text.replace("&&", "&")


def english_names(entries):
    """{English name as shown: string ids} of the item names and category
    captions, the texts the glossary's name kinds refer to."""
    names = {}
    for e in entries:
        if (e.section[0] == "row" and e.key == "name") or (e.section[0] == "category" and e.key == "caption"):
            names.setdefault(shown(e.text), []).append(e.ident)
    return names


def read_glossary(path, names, language, msgfmt="msgfmt"):
    """The glossary at `path`, checked: gettext's msgfmt --check, a header with
    Plural-Forms and the PO file's `language`, known kinds, name entries that
    name an English item or caption (`names`, as english_names gives them),
    each with a term, and a short form only beside its term. Raises PoError
    naming the file and line."""
    po, lines = gen_strings_po.read_po(path, msgfmt)
    gen_strings_po.check_header(po, path, lines)
    declared = po.metadata.get("Language", "")
    if language and declared and declared != language:
        raise PoError(f"{path}:{gen_strings_po.header_line(lines)}: the glossary is for language '{declared}', "
                      f"its PO file for '{language}'")
    glossary = Glossary(path)
    shorts = []
    for entry in po:
        if entry.obsolete:
            continue
        where = f"{path}:{gen_strings_po.msgstr_line(lines, entry.linenum)}"
        kind = entry.msgctxt
        if kind not in KINDS:
            raise PoError(f"{where}: unknown kind (msgctxt) {kind!r}; the kinds are "
                          + ", ".join(f'"{k}"' for k in sorted(KINDS)))
        if kind in ("term", "register"):
            continue
        if entry.msgid not in names:
            raise PoError(f"{where}: \"{entry.msgid}\" is no English item name or category caption of the "
                          "catalogue (write it as shown, \"&\" for \"&&\")")
        if entry.fuzzy or not entry.msgstr:
            raise PoError(f"{where}: the {kind} name of \"{entry.msgid}\" is "
                          + ("fuzzy: confirm it" if entry.fuzzy else "empty"))
        if kind.endswith(" short form"):
            shorts.append((entry, kind[:-len(" short form")], where))
            continue
        name = glossary.names.setdefault(entry.msgid, Name())
        if name.kind:
            raise PoError(f"{where}: \"{entry.msgid}\" is already a {name.kind} name at {name.term_at}")
        name.kind, name.term, name.term_at = kind, entry.msgstr, where
    for entry, kind, where in shorts:
        name = glossary.names.get(entry.msgid)
        if not name or name.kind != kind:
            raise PoError(f"{where}: a {kind} short form of \"{entry.msgid}\" without its {kind} term")
        name.short, name.short_at = entry.msgstr, where
    return glossary


def overlay(base, regional):
    """A regional variant's glossary: its base's names, each name the
    variant's glossary records replaced by the variant's record (its term and
    short form together)."""
    merged = Glossary(regional.path)
    merged.names = dict(base.names)
    merged.names.update(regional.names)
    return merged


def check_names(glossary, english, found, places):
    """Every translated item name and caption (`found`: {id: text}, `places`:
    {id: "file:line"}) whose English the glossary records is the term or its
    short form. Returns (names checked, [ids translated without an entry])."""
    checked, unrecorded = 0, []
    for ident in sorted(found):
        source = english[ident]
        caption = source.section[0] == "category" and source.key == "caption"
        if not caption and not (source.section[0] == "row" and source.key == "name"):
            continue
        name = glossary.names.get(shown(source.text))
        if name is None:
            unrecorded.append(ident)
            continue
        checked += 1
        translated = shown(found[ident]) if caption else found[ident]
        if translated in (name.term, name.short):
            continue
        allowed = f"\"{name.term}\" ({name.term_at})"
        if name.short:
            allowed += f" or its short form \"{name.short}\" ({name.short_at})"
        else:
            allowed += ", and it records no short form"
        what = "caption" if caption else "item name"
        raise PoError(f"{places[ident]}: the {what} \"{translated}\" (string {ident}) departs from the glossary: "
                      f"its {name.kind} name for \"{shown(source.text)}\" is {allowed}")
    return checked, unrecorded


def summary(checked, unrecorded, english):
    """The build's note on one language's glossary."""
    note = f"glossary: {checked} name{'' if checked == 1 else 's'} checked"
    missing = sorted({shown(english[i].text) for i in unrecorded})
    if missing:
        note += f", {len(missing)} translated name{'' if len(missing) == 1 else 's'} without an entry"
        if len(missing) <= 5:
            note += " (" + ", ".join(f'"{m}"' for m in missing) + ")"
    return note
