#!/usr/bin/env python3
"""Writes a small Windows icon (32x32 and 48x48, 32-bit colour with alpha):
a rounded tile in the given colour with a white window glyph on it.

    make-icon.py OUTPUT.ico [RRGGBB]
"""

import struct
import sys


def image(size, rgb):
    r0, g0, b0 = rgb
    radius = size // 6
    pixels = []          # rows top to bottom, BGRA
    for y in range(size):
        row = []
        for x in range(size):
            # Rounded tile: outside the corner circles is transparent.
            cx = min(max(x, radius), size - 1 - radius)
            cy = min(max(y, radius), size - 1 - radius)
            if (x - cx) ** 2 + (y - cy) ** 2 > radius * radius:
                row.append((0, 0, 0, 0))
                continue
            shade = 1.0 - 0.35 * y / size
            colour = (int(b0 * shade), int(g0 * shade), int(r0 * shade), 255)
            # White window with a title bar in the middle of the tile.
            m = size // 5
            if m <= x < size - m and m <= y < size - m:
                if y < m + max(2, size // 8):
                    colour = (int(b0 * 0.5), int(g0 * 0.5), int(r0 * 0.5), 255)
                elif x in (m, size - m - 1) or y == size - m - 1:
                    colour = (int(b0 * 0.5), int(g0 * 0.5), int(r0 * 0.5), 255)
                else:
                    colour = (255, 255, 255, 255)
            row.append(colour)
        pixels.append(row)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(c for px in row for c in px) for row in reversed(pixels))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(argv):
    if len(argv) not in (1, 2):
        print(__doc__, file=sys.stderr)
        return 2
    colour = argv[1] if len(argv) == 2 else "2f6fb5"
    rgb = tuple(int(colour[i:i + 2], 16) for i in (0, 2, 4))
    sizes = (32, 48)
    images = [image(s, rgb) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(argv[0], "wb") as f:
        f.write(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
