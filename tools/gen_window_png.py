#!/usr/bin/env python3
"""Draws the window skin "data/System/window.png".

The game stretches the whole image over the title bar of every window, so the
image is one title bar: a bevelled frame, a body with a flat band in the middle
where the caption sits, rounded corners and a small rivet near each corner.
Usage: gen_window_png.py [output path]
"""
import os
import struct
import sys
import zlib

WIDTH = 256
HEIGHT = 16

HIGHLIGHT = (200, 220, 255, 255)
SHADOW = (10, 16, 48, 255)
BAND = (48, 72, 168, 255)
TOP_BODY = (96, 128, 216)
BOTTOM_BODY = (24, 36, 110)
RIVET = (230, 200, 90, 255)
CLEAR = (0, 0, 0, 0)

# Rows 5 to 10 hold one flat colour, so the caption always sits on the same shade.
BAND_ROWS = range(5, 11)


def blend(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def body_colour(y):
    if y in BAND_ROWS:
        return BAND
    if y < BAND_ROWS.start:
        return blend(TOP_BODY, BAND[:3], (y - 1) / (BAND_ROWS.start - 1)) + (255,)
    return blend(BAND[:3], BOTTOM_BODY, (y - BAND_ROWS.stop + 1) / (HEIGHT - 1 - BAND_ROWS.stop)) + (255,)


def pixel(x, y):
    corner_x = min(x, WIDTH - 1 - x)
    corner_y = min(y, HEIGHT - 1 - y)
    if corner_x == 0 and corner_y == 0:
        return CLEAR
    if corner_x + corner_y == 1:
        return HIGHLIGHT[:3] + (128,)
    if corner_x in (2, 3) and corner_y in (2, 3):
        return RIVET
    if y == 0 or x == 0:
        return HIGHLIGHT
    if y == HEIGHT - 1 or x == WIDTH - 1:
        return SHADOW
    return body_colour(y)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(width, height, rows):
    raw = b"".join(b"\x00" + bytes(channel for p in row for channel in p) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "System", "window.png")
    rows = [[pixel(x, y) for x in range(WIDTH)] for y in range(HEIGHT)]
    os.makedirs(os.path.dirname(out) or ".", exist_ok=True)
    with open(out, "wb") as f:
        f.write(encode_png(WIDTH, HEIGHT, rows))


if __name__ == "__main__":
    main()
