#!/usr/bin/env bash
# Regenerates the launcher's bitmaps (res/bitmaps) and application icon
# (res/icons) from the vector sources in res/art, and checks the results.
#
#   bash tools/make-artwork.sh                  regenerate and check
#   bash tools/make-artwork.sh --preview F.png  also write a contact sheet
#
# Developer tool: the build uses the committed files and never runs this.
# Needs rsvg-convert (librsvg2-bin, installed here when missing), ImageMagick
# (convert, identify, montage) and python3.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
art="$top/res/art"
bitmaps="$top/res/bitmaps"
icons="$top/res/icons"

preview=""
while [ $# -gt 0 ]; do
  case "$1" in
    --preview) preview="$(realpath -m "$2")"; shift 2 ;;
    *) echo "usage: $0 [--preview file.png]" >&2; exit 2 ;;
  esac
done

if ! command -v rsvg-convert >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get install -y -qq librsvg2-bin \
    || { "${sudo_cmd[@]}" apt-get update -qq && "${sudo_cmd[@]}" apt-get install -y -qq librsvg2-bin; }
fi
for tool in rsvg-convert convert identify montage python3; do
  command -v "$tool" >/dev/null || { echo "make-artwork: $tool is missing" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$bitmaps" "$icons"

# Writes classic Windows files from rendered PNGs: BMPs with a
# BITMAPINFOHEADER, bottom-up, 24-bit or 8-bit palettised; ICOs with 32-bit
# BGRA images (with AND mask) and optionally a PNG-compressed 256 image.
cat >"$work/pack.py" <<'PY'
import struct, subprocess, sys

def pixels(png):
    w, h = map(int, subprocess.check_output(
        ["identify", "-format", "%w %h", png]).split())
    raw = subprocess.check_output(["convert", png, "-depth", "8", "rgba:-"])
    px = [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]
    assert len(px) == w * h, png
    return w, h, px

def opaque(png):
    w, h, px = pixels(png)
    if any(p[3] != 255 for p in px):
        sys.exit(f"make-artwork: {png} is not opaque; give its source a background")
    return w, h, [p[:3] for p in px]

def file_header(info_and_bits_size, offset):
    return b"BM" + struct.pack("<IHHI", 14 + info_and_bits_size, 0, 0, offset)

def info_header(w, h, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, image_size,
                       2835, 2835, colours, colours)

def bmp24(png, out):
    w, h, px = opaque(png)
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b in px[y * w:(y + 1) * w]:
            row += bytes((b, g, r))
        data += row + bytes(stride - len(row))
    with open(out, "wb") as f:
        f.write(file_header(40 + len(data), 54))
        f.write(info_header(w, h, 24, len(data), 0))
        f.write(data)

def bmp8(png, out):
    w, h, px = opaque(png)
    palette = sorted(set(px), key=lambda c: (sum(c), c))
    if len(palette) > 256:
        sys.exit(f"make-artwork: {png} has {len(palette)} colours, more than 256")
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytes(index[c] for c in px[y * w:(y + 1) * w])
        data += row + bytes(stride - len(row))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    with open(out, "wb") as f:
        f.write(file_header(40 + len(table) + len(data), 54 + len(table)))
        f.write(info_header(w, h, 8, len(data), len(palette)))
        f.write(table)
        f.write(data)

def ico_image(png):
    w, h, px = pixels(png)
    if w >= 256:
        return w, h, open(png, "rb").read()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(px[y * w:(y + 1) * w]):
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return w, h, header + xor + mask

def ico(out, pngs):
    images = [ico_image(p) for p in pngs]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for w, h, blob in images:
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                                 len(blob), offset)
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(directory)
        for _, _, blob in images:
            f.write(blob)

def check_bmp(path, bits, w, h):
    d = open(path, "rb").read()
    size, = struct.unpack_from("<I", d, 2)
    hsize, bw, bh, planes, bc, comp = struct.unpack_from("<IiiHHI", d, 14)
    problems = []
    if d[:2] != b"BM" or size != len(d): problems.append("bad file header")
    if hsize != 40: problems.append(f"info header of {hsize} bytes")
    if (bw, bh) != (w, h): problems.append(f"{bw} x {bh}, not {w} x {h}")
    if planes != 1 or comp != 0: problems.append("planes or compression")
    if bc != bits: problems.append(f"{bc} bits per pixel, not {bits}")
    if problems:
        sys.exit(f"make-artwork: {path}: " + "; ".join(problems))

def check_ico(path, sizes):
    d = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", d, 0)
    found = []
    for i in range(count):
        w, h, _, _, _, bc, n, off = struct.unpack_from("<BBBBHHII", d, 6 + 16 * i)
        blob = d[off:off + n]
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            pw, ph = struct.unpack_from(">II", blob, 16)
            if blob[24:26] != b"\x08\x06": sys.exit(f"{path}: PNG image is not 8-bit RGBA")
        else:
            hs, pw, ph2, _, pbc = struct.unpack_from("<IiiHH", blob, 0)
            ph = ph2 // 2
            if hs != 40 or pbc != 32: sys.exit(f"{path}: image {i} is not 32-bit")
        if (w or 256, h or 256) != (pw, ph) or bc != 32:
            sys.exit(f"{path}: directory entry {i} does not match its image")
        found.append(pw)
    if kind != 1 or sorted(found) != sorted(sizes):
        sys.exit(f"make-artwork: {path}: sizes {found}, expected {sizes}")

cmd = sys.argv[1]
if cmd == "bmp24": bmp24(sys.argv[2], sys.argv[3])
elif cmd == "bmp8": bmp8(sys.argv[2], sys.argv[3])
elif cmd == "ico": ico(sys.argv[2], sys.argv[3:])
elif cmd == "check-bmp": check_bmp(sys.argv[2], *map(int, sys.argv[3:6]))
elif cmd == "check-ico": check_ico(sys.argv[2], list(map(int, sys.argv[3:])))
elif cmd == "theme":
    # Replaces the contents of <style id="theme"> with the given rules.
    import re
    svg, css, out = sys.argv[2:5]
    text = open(svg).read()
    new, n = re.subn(r'(<style id="theme">).*?(</style>)',
                     lambda m: m.group(1) + "\n" + open(css).read() + "  " + m.group(2),
                     text, flags=re.S)
    if n != 1: sys.exit(f"make-artwork: {svg} has no theme style")
    open(out, "w").write(new)
else: sys.exit("pack.py: unknown command")
PY
pack() { python3 "$work/pack.py" "$@"; }

# render SVG WIDTH HEIGHT OUT.png
render() { rsvg-convert -w "$2" -h "$3" "$1" -o "$4"; }

# bitmap SVG WIDTH HEIGHT BITS NAME: renders and writes res/bitmaps/NAME.bmp.
bitmap() {
  local png="$work/$5.png"
  render "$1" "$2" "$3" "$png"
  pack "bmp$4" "$png" "$bitmaps/$5.bmp"
  pack check-bmp "$bitmaps/$5.bmp" "$4" "$2" "$3"
}

# Title strip, wordmark, header and description images.
bitmap "$art/title-strip.svg" 1 28 24 title-strip
bitmap "$art/wordmark.svg" 124 38 24 wordmark
bitmap "$art/header-person.svg" 96 96 24 header-person
bitmap "$art/info-sign.svg" 96 96 24 info-sign

# Footer: the background column is the middle column of the resting button,
# so the strip between the buttons matches them exactly.
render "$art/footer-up.svg" 67 21 "$work/footer-up.png"
convert "$work/footer-up.png" -crop 1x21+33+0 +repage "$work/footer-gradient.png"
pack bmp24 "$work/footer-gradient.png" "$bitmaps/footer-gradient.bmp"
pack check-bmp "$bitmaps/footer-gradient.bmp" 24 1 21
bitmap "$art/footer-separator.svg" 2 21 24 footer-separator
for button in SUPPORT HELP CLOSE; do
  bitmap "$art/footer-up.svg" 67 21 8 "${button}U"
  bitmap "$art/footer-down.svg" 67 21 8 "${button}D"
  bitmap "$art/footer-focus.svg" 67 21 8 "${button}F"
done

# Category icons: the sources carry the normal look (white symbol on a dark
# tile); the selected look (black on white) swaps in category-selected.css.
for name in connect secure protect optimize generic; do
  bitmap "$art/category-$name.svg" 64 64 24 "category-$name"
  pack theme "$art/category-$name.svg" "$art/category-selected.css" \
    "$work/category-$name-selected.svg"
  bitmap "$work/category-$name-selected.svg" 64 64 24 "category-$name-selected"
done
# Up image that lets the first category button attach; it is never drawn.
bitmap "$art/category-generic.svg" 64 64 24 CTGRY0U

# Application icon: 16 from its own pixel-fitted drawing, the rest from the
# large one; 256 is stored PNG-compressed.
render "$art/app-icon-16.svg" 16 16 "$work/icon-16.png"
for size in 32 48 256; do
  render "$art/app-icon.svg" "$size" "$size" "$work/icon-$size.png"
done
pack ico "$icons/quorvane.ico" "$work/icon-16.png" "$work/icon-32.png" \
  "$work/icon-48.png" "$work/icon-256.png"
pack check-ico "$icons/quorvane.ico" 16 32 48 256

if [ -n "$preview" ]; then
  # Contact sheet: each image at full size, then as the window draws it.
  p="$work/preview"
  mkdir -p "$p"
  convert \( "$bitmaps/title-strip.bmp" -scale 200x19! \) \
    \( "$bitmaps/wordmark.bmp" -resize 60x19! \) +append "$p/01-title-at-size.png"
  cp "$work/wordmark.png" "$p/02-wordmark.png"
  convert "$bitmaps/header-person.bmp" -resize 48x48 -bordercolor '#e9eae3' -border 8 "$p/03-person-at-size.png"
  convert "$bitmaps/info-sign.bmp" -resize 48x48 -bordercolor white -border 8 "$p/04-info-at-size.png"
  cp "$work/header-person.png" "$p/05-person.png"
  cp "$work/info-sign.png" "$p/06-info.png"
  i=10
  for name in connect secure protect optimize generic; do
    convert "$bitmaps/category-$name.bmp" -resize 30x30 -bordercolor white -border 8 "$p/$i-$name-at-size.png"
    convert "$bitmaps/category-$name-selected.bmp" -resize 30x30 -bordercolor black -border 8 "$p/$((i + 1))-$name-sel-at-size.png"
    cp "$work/category-$name.png" "$p/$((i + 2))-$name.png"
    cp "$work/category-$name-selected.png" "$p/$((i + 3))-$name-sel.png"
    i=$((i + 4))
  done
  convert "$bitmaps/SUPPORTU.bmp" "$bitmaps/HELPD.bmp" \
    \( "$bitmaps/footer-gradient.bmp" -scale 60x21! \) "$bitmaps/footer-separator.bmp" \
    "$bitmaps/CLOSEF.bmp" +append "$p/40-footer.png"
  for size in 16 32 48 256; do
    convert "$work/icon-$size.png" -background '#d8d8d8' -flatten "$p/5$(printf %03d "$size")-icon.png"
  done
  montage "$p"/*.png -tile 8x -geometry '+6+6' -background '#b0b0b0' "$preview"
  echo "preview written to $preview"
fi
echo "artwork regenerated in res/bitmaps and res/icons"
