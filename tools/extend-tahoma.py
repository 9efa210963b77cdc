#!/usr/bin/env python3
"""Tahoma with the Greek, Hebrew, Thai and Latvian letters Windows' Tahoma has,
for the Wine prefixes of the tests and the demo.

    extend-tahoma.py TAHOMA.ttf OUTPUT.ttf SCRIPT=FONT.ttf...

SCRIPT is greek, hebrew, latvian or thai; FONT the font its letters are taken
from (Debian's DejaVu Sans for Greek, Hebrew and Latvian, Loma of
fonts-tlwg-loma-ttf for Thai, all of Tahoma's 2048 units to the em). DejaVu Sans' letters are a little
wider than Tahoma's: a text measured with them takes at least the room it
takes on Windows.

Windows' Tahoma carries Greek, Hebrew, Thai and the Latvian letters with a
comma below; Wine's (fonts-wine) carries none of them.
Wine draws text of a complex script from the glyphs of the selected font
itself: it shapes the text into glyph numbers before drawing, so a font link
(FontLink\\SystemLink) still draws boxes. This writes a copy of TAHOMA.ttf
that also holds the letters of each script from its FONT, without their
hinting (Thai's combining marks keep their own offsets: Loma's have no advance
and sit over the letter before them). Every glyph Tahoma had is kept as it
was, with its hinting and every metric of the font, so that everything else
is drawn exactly as before; the font's revision is raised a little, so that
Wine takes this copy over the one it ships.
"""

import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables import ttProgram

SCRIPTS = {
    "greek": [(0x0370, 0x03FF), (0x1F00, 0x1FFF)],
    # The Latvian letters with a comma below (Ķ ķ Ļ ļ Ņ ņ), which Wine's lacks.
    "latvian": [(0x0136, 0x0137), (0x013B, 0x013C), (0x0145, 0x0146)],
    "hebrew": [(0x0590, 0x05FF), (0xFB1D, 0xFB4F)],
    "thai": [(0x0E00, 0x0E7F)],
}


def add_script(tahoma, script, source_path):
    """Adds the letters of `script` that Tahoma lacks from the font at
    `source_path`; returns how many."""
    source = TTFont(source_path)
    if tahoma["head"].unitsPerEm != source["head"].unitsPerEm:
        sys.exit(f"extend-tahoma.py: {source_path} has other units per em than Tahoma")
    have = tahoma.getBestCmap()
    wanted = {c: g for c, g in source.getBestCmap().items()
              if any(lo <= c <= hi for lo, hi in SCRIPTS[script]) and c not in have}
    source_glyf, source_hmtx = source["glyf"], source["hmtx"]
    glyf, hmtx = tahoma["glyf"], tahoma["hmtx"]
    renamed = {}

    def copy(name):
        """Adds the source's glyph `name` (and the glyphs it is made of) once."""
        if name in renamed:
            return renamed[name]
        new = script + "." + name
        renamed[name] = new
        glyph = source_glyf[name]
        glyph.expand(source_glyf)
        if glyph.isComposite():
            for component in glyph.components:
                component.glyphName = copy(component.glyphName)
        if hasattr(glyph, "program"):
            glyph.program = ttProgram.Program()
            glyph.program.fromBytecode(b"")
        glyf[new] = glyph  # appended to the glyph order
        hmtx[new] = source_hmtx[name]
        return new

    for code in sorted(wanted):
        target = copy(wanted[code])
        for table in tahoma["cmap"].tables:
            if table.isUnicode():
                table.cmap[code] = target
    tahoma.setGlyphOrder(glyf.glyphOrder)
    return len(wanted)


def main(tahoma_path, output_path, sources):
    # Nothing of Tahoma's is recomputed: its bounding boxes and header flags
    # (which hinting reads) stay as they were.
    tahoma = TTFont(tahoma_path, recalcBBoxes=False, recalcTimestamp=False)
    flags = tahoma["head"].flags
    added = []
    for argument in sources:
        script, _, path = argument.partition("=")
        if script not in SCRIPTS or not path:
            sys.exit(__doc__)
        added.append(f"{add_script(tahoma, script, path)} {script.capitalize()}")
    tahoma["head"].fontRevision += 0.0001
    tahoma["head"].flags = flags
    tahoma.save(output_path)
    print(f"extend-tahoma.py: {output_path}: " + ", ".join(added) + " characters added")


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
