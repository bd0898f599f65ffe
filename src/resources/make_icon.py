#!/usr/bin/env python3
"""Writes ZendryCertificates.ico: a certificate with a seal and ribbon, drawn
below as character grids, in 32x32 and 16x16 with 16 colours each.

The file is kept in the repository; run this again after changing a picture:
    python3 make_icon.py [output.ico]
The output depends only on the grids, so it is byte-for-byte reproducible.
"""
import os
import struct
import sys

# The standard 16-colour palette, in palette order (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# Grid character -> palette index; '.' is transparent.
COLOURS = {
    'k': 0,   # black: paper outline
    'R': 1,   # dark red: seal and ribbon edges
    'o': 3,   # olive: ring around the seal's centre
    'N': 4,   # navy: title
    'r': 9,   # red: seal and ribbon
    's': 7,   # silver: inner frame
    'g': 8,   # grey: text lines, shadow
    'y': 11,  # yellow: seal's centre
    'w': 15,  # white: paper
}
TRANSPARENT = '.'

ICON_32 = """
................................
................................
.kkkkkkkkkkkkkkkkkkkkkkkkkkk....
.kwwwwwwwwwwwwwwwwwwwwwwwwwkg...
.kwssssssssssssssssssssssswkg...
.kwswwwwwwwwwwwwwwwwwwwwwswkg...
.kwswwwwwwwwwwwwwwwwwwwwwswkg...
.kwswwwwNNNNNNNNNNNNNwwwwswkg...
.kwswwwwNNNNNNNNNNNNNwwwwswkg...
.kwswwwwwwwwwwwwwwwwwwwwwswkg...
.kwswwwwwwwwwwwwwwwwwwwwwswkg...
.kwswwgggggggggggggggggwwswkg...
.kwswwwwwwwwwwwwwwwwwRRwRRwkg...
.kwswwwwwwwwwwwwwwwwRrrRrrRkg...
.kwswwggggggggggggRRrrrrrrrRR...
.kwswwwwwwwwwwwwwwRrrrrrrrrrR...
.kwswwwwwwwwwwwwwRrrrrooorrrrR..
.kwswwgggggggggwRrrrrooooorrrrR.
.kwswwwwwwwwwwwwRrrrooyyyoorrrR.
.kwswwwwwwwwwwwwwRrrooyyyoorrR..
.kwswwgggggggwwwRrrrooyyyoorrrR.
.kwswwwwwwwwwwwwRrrrrooooorrrrR.
.kwssssssssssssssRrrrrooorrrrR..
.kwwwwwwwwwwwwwwwwRrrrrrrrrrR...
.kkkkkkkkkkkkkkkkkRRrrrrrrrRR...
..ggggggggggggggggRrRRRRRRRrR...
..................RrrR...RrrR...
..................RrrR...RrrR...
.................RrrR.....RrrR..
.................RrrR.....RrrR..
................RrrR.......RrrR.
................RR.R.......R.RR.
"""

ICON_16 = """
................
kkkkkkkkkkkkk...
kwwwwwwwwwwwkg..
kwNNNNNNNNNwkg..
kwwwwwwwwwwwkg..
kwggggggggwwkg..
kwwwwwwwwwRRRg..
kwggggggwRrrrR..
kwwwwwwwRrooorR.
kwgggggwRroyorR.
kwwwwwwwRrooorR.
kkkkkkkkkRrrrR..
.ggggggggRRRRR..
........RrR.RrR.
........RrR.RrR.
........R.R.R.R.
"""


def parse_grid(text, size):
    rows = text.strip('\n').split('\n')
    if len(rows) != size or any(len(row) != size for row in rows):
        raise ValueError(f'the {size}x{size} grid is not {size} rows of {size} characters')
    for row in rows:
        for ch in row:
            if ch != TRANSPARENT and ch not in COLOURS:
                raise ValueError(f'unknown colour {ch!r} in the {size}x{size} grid')
    return rows


def pack_rows(bits_per_row):
    """Pads each row to a multiple of four bytes, as DIBs require."""
    return b''.join(row + b'\0' * (-len(row) % 4) for row in bits_per_row)


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour bits, AND mask.
    Rows are stored bottom-up."""
    size = len(rows)
    colour_rows, mask_rows = [], []
    for row in reversed(rows):
        indices = [COLOURS.get(ch, 0) for ch in row]  # transparent pixels are black
        colour_rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2)))
        mask = bytearray(size // 8)
        for x, ch in enumerate(row):
            if ch == TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(mask))
    colour = pack_rows(colour_rows)
    mask = pack_rows(mask_rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + colour + mask


def build_ico(images):
    """images: list of (size, grid rows), largest first."""
    data = [icon_image(rows) for _, rows in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, _), blob in zip(images, data):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b''.join(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, 'ZendryCertificates.ico')
    ico = build_ico([(32, parse_grid(ICON_32, 32)), (16, parse_grid(ICON_16, 16))])
    with open(target, 'wb') as f:
        f.write(ico)


if __name__ == '__main__':
    main()
