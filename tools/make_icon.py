#!/usr/bin/env python3
"""Draws ZOLM's tray icon, a small grey mouse, and writes it as res/zolm.ico.

One image: 16 x 16 pixels, 16 colours (4 bits per pixel, one plane), stored as
BITMAPINFOHEADER + palette + colour bits + mask = 296 bytes.
Usage: make_icon.py [output path]   (default: res/zolm.ico beside this tool)
"""
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# '.' is transparent; the other letters name palette entries.
INK = {'k': 0, 'g': 8, 's': 7, 'w': 15, 'p': 13}

# A mouse facing left: round ear, eye, pink nose, curled tail.
PIXELS = [
    "................",
    "........kkk.....",
    ".......kpppk....",
    ".......kppgk....",
    "....kkkkkkk.....",
    "...kssssssskk...",
    "..kskwssssssgk..",
    ".kssssssssssgk..",
    "pksssssssssssgk.",
    ".kwsssssssssgk..",
    "..kkggssssggk..k",
    "....kkkkkkkk...k",
    "....k..k..k...k.",
    "...........kkk..",
    "................",
    "................",
]

SIZE = 16
BITS = 4


def color_rows():
    """Colour bits, bottom row first, two pixels a byte (high nibble first)."""
    rows = []
    for line in reversed(PIXELS):
        indices = [INK.get(ch, 0) for ch in line]
        rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2)))
    return b"".join(rows)


def mask_rows():
    """AND mask, bottom row first, 1 = transparent, rows padded to 4 bytes."""
    rows = []
    for line in reversed(PIXELS):
        value = 0
        for ch in line:
            value = (value << 1) | (1 if ch == '.' else 0)
        rows.append(struct.pack(">H", value) + b"\0\0")
    return b"".join(rows)


def image():
    colors = color_rows()
    mask = mask_rows()
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, BITS, 0,
                         len(colors) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + colors + mask


def icon_file():
    data = image()
    assert len(data) == 296, len(data)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, BITS, len(data), 6 + 16)
    return directory + entry + data


def main():
    for line in PIXELS:
        assert len(line) == SIZE and all(ch == '.' or ch in INK for ch in line), line
    assert len(PIXELS) == SIZE
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "zolm.ico")
    with open(path, "wb") as out:
        out.write(icon_file())


if __name__ == "__main__":
    main()
