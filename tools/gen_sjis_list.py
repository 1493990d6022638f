#!/usr/bin/env python3
"""Writes the character list "sjis.txt" of the glyph sheets.

Usage: tools/gen_sjis_list.py [output]   (default: data/sjis.txt)

One character a line, as its Shift-JIS bytes: the printable ASCII 0x20-0x7E,
the half-width katakana 0xA1-0xDF, then every double-byte code of the lead
bytes 0x81-0x9F and 0xE0-0xFC with the trail bytes 0x40-0x7E and 0x80-0xFC.
This is the list the game uses when the file is missing; a character's line
number (from 0) is its cell in the glyph sheet.
"""

import os
import sys

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = [t for t in range(0x40, 0xFD) if t != 0x7F]


def codes():
    for c in range(0x20, 0x7F):
        yield bytes([c])
    for c in range(0xA1, 0xE0):
        yield bytes([c])
    for lead in LEADS:
        for trail in TRAILS:
            yield bytes([lead, trail])


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "sjis.txt")
    with open(output, "wb") as f:
        for code in codes():
            f.write(code + b"\n")


if __name__ == "__main__":
    main()
