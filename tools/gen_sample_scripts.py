#!/usr/bin/env python3
"""Writes the sample scenario's scripts and the picture they show.

Scenario authors write their scripts in Shift-JIS (code page 932), and the
sample's scripts are kept that way in data/Scenario/Default/Script. Their
sources are the UTF-8 files of tools/sample_scripts; this script encodes each
one, byte for byte the same every run, and draws the opening picture
"opening.png" into the sample's Picture folder with the sample-art canvas.
"""

import math
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCES = os.path.join(ROOT, "tools", "sample_scripts")
SCENARIO = os.path.join(ROOT, "data", "Scenario", "Default")

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_sample_art import Canvas, mix  # noqa: E402


def encode_scripts():
    target = os.path.join(SCENARIO, "Script")
    os.makedirs(target, exist_ok=True)
    for name in sorted(os.listdir(SOURCES)):
        if not name.endswith(".lua"):
            continue
        with open(os.path.join(SOURCES, name), encoding="utf-8") as source:
            text = source.read()
        with open(os.path.join(target, name), "wb") as out:
            out.write(text.encode("cp932"))


def draw_opening():
    """Dusk over a castle on a hill: a sky fading from orange to blue, a sun, hills and towers."""
    width, height = 240, 120
    c = Canvas(width, height, (0, 0, 0, 255))
    for y in range(height):
        sky = mix((40, 60, 140), (240, 150, 70), y / height)
        c.rect(0, y, width, y + 1, sky)
    c.ellipse(170, 70, 18, 18, (255, 220, 120))
    c.polygon([(0, 95), (60, 70), (130, 88), (200, 72), (240, 90), (240, 120), (0, 120)], (40, 90, 50))
    c.polygon([(0, 108), (90, 92), (170, 104), (240, 98), (240, 120), (0, 120)], (25, 60, 35))
    castle = (30, 30, 45)
    c.rect(62, 56, 102, 84, castle)
    for left in (58, 94):
        c.rect(left, 44, left + 12, 84, castle)
        c.polygon([(left - 2, 44), (left + 6, 32), (left + 14, 44)], (120, 30, 40))
    for x in range(62, 102, 8):
        c.rect(x, 52, x + 4, 56, castle)
    c.rect(78, 70, 86, 84, (250, 210, 110))
    for k in range(5):
        a = k * 2 * math.pi / 5
        c.plot(30 + 20 * math.cos(a), 20 + 8 * math.sin(a), (255, 255, 230))
    c.save(os.path.join(SCENARIO, "Picture", "opening.png"), with_alpha=False)


def main():
    encode_scripts()
    draw_opening()


if __name__ == "__main__":
    main()
