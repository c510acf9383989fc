#!/usr/bin/env python3
"""Writes the five drive pictures and the folder picture as BMP files next to this script.

FLOPPY and HARD: 16 x 16, 32 bits per pixel, key colour (114, 114, 122).
NETWORK, CDROM and RAM: 16 x 11, 4 bits per pixel with the 16-colour
palette, key colour pure blue. The key colour is the bottom-left pixel.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

FULL_KEY = (114, 114, 122)
FULL_COLOURS = {
    '.': FULL_KEY, 'k': (0, 0, 0), 'd': (128, 128, 128), 'l': (192, 192, 192),
    'w': (255, 255, 255), 'g': (0, 200, 0), 's': (90, 90, 96),
    'y': (255, 222, 96), 'o': (160, 120, 0),
}

FLOPPY = [
    "................",
    "................",
    "................",
    "...wwwwwwwwwwww.",
    "..wllllllllllldk",
    ".wllllllllllldkk",
    "wwwwwwwwwwwwwdkk",
    "wlllllllllllldk.",
    "wlkkkkkkkkklldk.",
    "wllsssssssllldk.",
    "wllllllllllgldk.",
    "wdddddddddddddk.",
    "kkkkkkkkkkkkkkk.",
    "................",
    "................",
    "................",
]

HARD = [
    "................",
    "................",
    "................",
    "...wwwwwwwwwwww.",
    "..wllllllllllldk",
    ".wllllllllllldkk",
    "wwwwwwwwwwwwwdkk",
    "wlllllllllllldk.",
    "wlddddddddllldk.",
    "wlllllllllllldk.",
    "wllllllllllgldk.",
    "wdddddddddddddk.",
    "kkkkkkkkkkkkkkk.",
    "................",
    "................",
    "................",
]

# Not a drive: the entry that opens the folder dialog.
FOLDER = [
    "................",
    "................",
    "................",
    ".ooooo..........",
    "oyyyyyo.........",
    "oyyyyyyoooooooo.",
    "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.",
    "oyyyyyyyyyyyyyo.",
    "ooooooooooooooo.",
    "................",
    "................",
]

# 16-colour palette (index: red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
SMALL_INDEX = {'B': 12, 'k': 0, 'd': 8, 'l': 7, 'w': 15}


def small_drive(marks):
    """A small drive body; `marks` maps (row, column) to a colour letter."""
    rows = ["B" * 16,
            "BwwwwwwwwwwwwwkB"]
    rows += ["BwllllllllllldkB"] * 6
    rows += ["BwddddddddddddkB",
             "BkkkkkkkkkkkkkkB",
             "B" * 16]
    rows = [list(r) for r in rows]
    for (r, c), colour in marks.items():
        rows[r][c] = colour
    return ["".join(r) for r in rows]


def marks(points):
    out = {}
    for row, cols, colour in points:
        for c in cols:
            out[(row, c)] = colour
    return out


NETWORK = small_drive(marks([
    (2, [3, 4, 10, 11], 'k'), (3, [3, 4, 10, 11], 'k'), (3, range(5, 10), 'd'),
    (4, [7], 'k'), (5, [6, 7, 8], 'k'), (6, [5, 6, 7, 8, 9], 'd'),
]))
CDROM = small_drive(marks([
    (3, range(2, 12), 'k'), (4, range(2, 12), 'd'), (6, [11, 12], 'k'), (6, [3, 4], 'd'),
]))
RAM = small_drive(marks([
    (2, [3, 4, 6, 7, 9, 10], 'k'), (3, [3, 4, 6, 7, 9, 10], 'k'), (4, [3, 4, 6, 7, 9, 10], 'k'),
    (5, [3, 4, 6, 7, 9, 10], 'd'), (6, [3, 4, 6, 7, 9, 10], 'd'),
]))


def bmp_header(width, height, bits, palette_size, image_size):
    offset = 14 + 40 + 4 * palette_size
    file_header = struct.pack('<2sIHHI', b'BM', offset + image_size, 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image_size,
                       2835, 2835, palette_size, 0)
    return file_header + info


def write_full(name, rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), name
    pixels = b''
    for row in reversed(rows):  # BMP rows run bottom-up
        for ch in row:
            r, g, b = FULL_COLOURS[ch]
            pixels += bytes((b, g, r, 0))
    with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
        f.write(bmp_header(16, 16, 32, 0, len(pixels)) + pixels)


def write_small(name, rows):
    assert len(rows) == 11 and all(len(r) == 16 for r in rows), name
    pixels = b''
    for row in reversed(rows):
        idx = [SMALL_INDEX[ch] for ch in row]
        pixels += bytes((idx[i] << 4) | idx[i + 1] for i in range(0, 16, 2))  # 8 bytes, 4-aligned
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    with open(os.path.join(HERE, name + '.bmp'), 'wb') as f:
        f.write(bmp_header(16, 11, 4, 16, len(pixels)) + palette + pixels)


if __name__ == '__main__':
    write_full('FLOPPY', FLOPPY)
    write_full('HARD', HARD)
    write_full('FOLDER', FOLDER)
    write_small('NETWORK', NETWORK)
    write_small('CDROM', CDROM)
    write_small('RAM', RAM)
