#!/usr/bin/env python3
"""Tahoma with Hebrew letters, for the Wine prefixes of the tests and the demo.

    extend-tahoma.py TAHOMA.ttf DEJAVU.ttf OUTPUT.ttf

Windows' Tahoma carries Hebrew; Wine's (fonts-wine) does not. Wine draws text
read right to left from the glyphs of the selected font itself: its
bidirectional ordering shapes the text into glyph numbers before drawing, so
a font link (FontLink\\SystemLink) measures Hebrew in the linked face but
still draws boxes. This writes a copy of TAHOMA.ttf that also holds the
Hebrew letters of DEJAVU.ttf (Debian's DejaVu Sans, the same 2048 units to
the em), without their hinting. Every glyph Tahoma had is kept as it was,
with its hinting and every metric of the font, so that everything else is
drawn exactly as before; the font's revision is raised a little, so that Wine
takes this copy over the one it ships.
"""

import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables import ttProgram

HEBREW = [(0x0590, 0x05FF), (0xFB1D, 0xFB4F)]


def main(tahoma_path, dejavu_path, output_path):
    # Nothing of Tahoma's is recomputed: its bounding boxes and header flags
    # (which hinting reads) stay as they were.
    tahoma = TTFont(tahoma_path, recalcBBoxes=False, recalcTimestamp=False)
    flags = tahoma["head"].flags
    dejavu = TTFont(dejavu_path)
    if tahoma["head"].unitsPerEm != dejavu["head"].unitsPerEm:
        sys.exit("extend-tahoma.py: the two fonts have different units per em")
    have = tahoma.getBestCmap()
    source_map = dejavu.getBestCmap()
    wanted = {c: g for c, g in source_map.items()
              if any(lo <= c <= hi for lo, hi in HEBREW) and c not in have}
    source_glyf, source_hmtx = dejavu["glyf"], dejavu["hmtx"]
    glyf, hmtx = tahoma["glyf"], tahoma["hmtx"]
    renamed = {}

    def copy(name):
        """Adds DejaVu's glyph `name` (and the glyphs it is made of) once."""
        if name in renamed:
            return renamed[name]
        new = "hebrew." + name
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
    tahoma["head"].fontRevision += 0.0001
    tahoma["head"].flags = flags
    tahoma.save(output_path)
    print(f"extend-tahoma.py: {output_path}: {len(wanted)} Hebrew characters added")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
