#!/usr/bin/env python3
"""Writes pagesift.ico: a magnifier over a page, 32x32 and 16x16, 16 colours each.

The pictures are drawn below as text, one character per pixel, so changing the icon
means editing a row and running `python3 makeicon.py pagesift.ico`. The output is
byte-for-byte reproducible; a test compares it with the committed file. The desktop's
larger icons come from pagesift.svg, the same picture drawn for any size: a change to
one picture is made to the other too.
"""

import os
import struct
import sys

# The standard 16-colour Windows palette, in palette order (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# '.' is transparent; every other character names a palette entry.
INK = {'K': 0, 'M': 1, 'N': 4, 'T': 6, 'S': 7, 'G': 8, 'C': 14, 'W': 15}

ICON_32 = """
................................
..KKKKKKKKKKKKKK................
..KWWWWWWWWWWWWKK...............
..KWWWWWWWWWWWWKSK..............
..KWWWWWWWWWWWWKSSK.............
..KWGGGGGGGGGGWKSSSK............
..KWWWWWWWWWWWWKSSSSK...........
..KWWWWWWWWWWWWKKKKKKK..........
..KWGGGGGGGGGGGGGGGGWK..........
..KWWWWWWWWWWWWWWWWWWK..........
..KWWWWWWWWWWWWWKKKKKK..........
..KWGGGGGGGGGGKKNNNNNNKK........
..KWWWWWWWWWWKNNWWCCCCNNK.......
..KWWWWWWWWWWKNWWCCCCCCNK.......
..KWGGGGGGGGKNWWCCCCCCCCNK......
..KWWWWWWWWWKNWCCCCCCCCCNK......
..KWWWWWWWWWKNCGGGGGGGGCNK......
..KWGGGGGGGGKNCGGGGGGGGCNK......
..KWWWWWWWWWKNCCCCCCCCCCNK......
..KWWWWWWWWWKNCCCCCCCCCTNK......
..KWGGGGGGGGGKNCCCCCCTTNK.......
..KWWWWWWWWWWKNNCCCTTTNNK.......
..KWWWWWWWWWWWKKNNNNNNKKMK......
..KWGGGGGGGGGGGGKKKKKK.KMMMK....
..KWWWWWWWWWWWWWWWWWWK..KMMMK...
..KWWWWWWWWWWWWWWWWWWK...KMMMK..
..KWGGGGGGGGGGGGGGGGWK....KMMMK.
..KWWWWWWWWWWWWWWWWWWK.....KMMMK
..KWWWWWWWWWWWWWWWWWWK......KMMK
..KWWWWWWWWWWWWWWWWWWK.......KK.
..KKKKKKKKKKKKKKKKKKKK..........
................................
"""

ICON_16 = """
.KKKKKKK........
.KWWWWWKK.......
.KWGGGWKSK......
.KWWWWWKKKK.....
.KWGGGGGGWK.....
.KWWWWWKKKK.....
.KWGGGKWWCCK....
.KWWWKWCCCCCK...
.KWGGKCGGGGCK...
.KWWWKCCCCCCK...
.KWGGKCCCCTTK...
.KWWWWKCCTTKMK..
.KWGGGGKKKKMMMK.
.KWWWWWWWWK.KMMK
.KWGGGGGGWK..KMK
.KKKKKKKKKK...K.
"""


def rows(picture, size):
    lines = picture.strip().splitlines()
    if len(lines) != size or any(len(line) != size for line in lines):
        raise ValueError(f"the {size}x{size} picture is not {size} rows of {size} pixels")
    return lines


def padded(row_bytes):
    # Bitmap rows are stored in whole 32-bit words.
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def icon_image(picture, size):
    """One icon image: BITMAPINFOHEADER, palette, 4 bpp colour bitmap, 1 bpp AND mask."""
    lines = rows(picture, size)
    xor_rows, and_rows = [], []
    for line in reversed(lines):  # bitmaps are stored bottom-up
        indices = [INK.get(c, 0) for c in line]
        xor_rows.append(padded(bytes(indices[i] << 4 | indices[i + 1] for i in range(0, size, 2))))
        mask = 0
        for c in line:
            mask = mask << 1 | (c == '.')
        and_rows.append(padded(mask.to_bytes(size // 8, "big")))
    bitmap = b"".join(xor_rows) + b"".join(and_rows)
    # The height counts the colour bitmap and the mask together, as icons require.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(bitmap), 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bitmap


def icon_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset + len(data))
        data += image
    return directory + entries + data


def write(path, data):
    # A folder that cannot be made or written is said as such, not as a fault of the
    # picture.
    try:
        folder = os.path.dirname(path)
        if folder:
            os.makedirs(folder, exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
    except OSError as error:
        sys.exit(f"cannot write {path}: {error}")


def main():
    if len(sys.argv) == 2:
        images = [(32, icon_image(ICON_32, 32)), (16, icon_image(ICON_16, 16))]
        write(sys.argv[1], icon_file(images))
    else:
        sys.exit("usage: makeicon.py OUTPUT.ico")


if __name__ == "__main__":
    main()
