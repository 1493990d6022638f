#!/usr/bin/env python3
"""Writes placeholder pictures and sounds for the sample scenario.

The sample's data files name flags, music, the power map, the field map, the
chip sheets, the characters' chips and faces and the specials' effect sheets and
sounds; this script reads those names and writes a small placeholder for every
one that is missing. Files that exist are left alone, so real pictures and
sounds put in their place survive a second run (--force rewrites them all).

Only the Python 3 standard library is used: PNG through zlib and struct, WAV
through the wave module.
"""

import argparse
import math
import os
import struct
import wave
import xml.etree.ElementTree as ET
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCENARIO = os.path.join(ROOT, "data", "Scenario", "Default")

# The sample keeps one flag in a character folder, to show that pictures are
# also found there; chips, faces and effect sheets go to the character folder
# whose file names them; every other picture goes to Picture/, every sound to
# MusicAndSound/.
PLACED_IN_CHARACTER_FOLDER = {"flag_garm.png": "DefChar"}

CHIP = 32
GROUND_COLOURS = [(96, 168, 72), (40, 110, 48), (160, 150, 90), (128, 120, 112), (56, 96, 200)]
BORDER = (0, 0, 0)


def png_bytes(width, height, rows, alpha):
    """A PNG file of 8-bit RGB or RGBA rows (each a bytes object without the filter byte)."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def write_png(path, width, height, pixel, alpha=False):
    """Writes a picture whose pixel (x, y) is pixel(x, y): an RGB or RGBA tuple."""
    rows = [bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height)]
    with open(path, "wb") as out:
        out.write(png_bytes(width, height, rows, alpha))


def write_tone(path, name):
    """Half a second of a sine tone whose pitch follows the file name, fading in and out."""
    rate = 22050
    frequency = 220 + zlib.crc32(name.encode("utf-8")) % 440
    count = rate // 2
    frames = bytearray()
    for i in range(count):
        envelope = min(1.0, i / 800, (count - i) / 800)
        frames += struct.pack("<h", int(8000 * envelope * math.sin(2 * math.pi * frequency * i / rate)))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(frames))


def argb(text, default=(255, 0, 0, 0)):
    """A colour text AARRGGBB as (r, g, b, a)."""
    try:
        value = int(text, 16)
    except (TypeError, ValueError):
        return default[1], default[2], default[3], default[0]
    return (value >> 16) & 255, (value >> 8) & 255, value & 255, (value >> 24) & 255


def flag_painter(colour):
    """Four 32-pixel frames of a flag on a pole, waving."""
    r, g, b, _ = colour

    def pixel(x, y):
        frame, fx = divmod(x, CHIP)
        if fx in (4, 5) and 2 <= y < 30:
            return (90, 60, 30, 255)
        wave_y = int(2 * math.sin((fx + frame * 8) / 4.0))
        if 6 <= fx < 28 and 4 + wave_y <= y < 18 + wave_y:
            return (r, g, b, 255)
        return (0, 0, 0, 0)
    return pixel


def tint(name):
    """A colour that follows the name, so that every character or effect looks its own."""
    crc = zlib.crc32(name.encode("utf-8"))
    return 60 + crc % 180, 60 + (crc >> 8) % 180, 60 + (crc >> 16) % 180


def figure_painter(name, size):
    """A round head over a body, on a transparent ground, scaled to the picture's size."""
    r, g, b = tint(name)

    def pixel(x, y):
        fx, fy = x * 32 // size, y * 32 // size
        head = (fx - 16) ** 2 + (fy - 9) ** 2 <= 25
        body = 9 <= fx < 23 and 14 <= fy < 29
        if head:
            return (230, 200, 170, 255)
        if body:
            return (r, g, b, 255) if fx not in (9, 22) and fy != 28 else (r // 2, g // 2, b // 2, 255)
        return (0, 0, 0, 0)
    return pixel


def face_painter(name):
    """A face on a background in the character's colour."""
    r, g, b = tint(name)

    def pixel(x, y):
        if (x - 48) ** 2 + (y - 46) ** 2 <= 900:
            eye = y in range(38, 44) and (x in range(36, 42) or x in range(54, 60))
            mouth = y in range(58, 61) and 40 <= x < 56
            return (40, 30, 30) if eye or mouth else (230, 200, 170)
        return (r, g, b)
    return pixel


def effect_painter(name, width, height, frames):
    """One row of frames: a ring that grows from frame to frame."""
    r, g, b = tint(name)

    def pixel(x, y):
        frame, fx = divmod(x, width)
        radius = (frame + 1) * min(width, height) / (2 * frames)
        distance = math.hypot(fx - width / 2, y - height / 2)
        if abs(distance - radius) < max(2, radius / 4):
            return (r, g, b, 220)
        return (0, 0, 0, 0)
    return pixel


def ground_chip_painter(chips):
    def pixel(x, y):
        r, g, b = GROUND_COLOURS[chips[x // CHIP] % len(GROUND_COLOURS)]
        shade = 12 if (x // 4 + y // 4) % 2 else 0
        return (max(r - shade, 0), max(g - shade, 0), max(b - shade, 0))
    return pixel


def object_chip_painter(objects):
    """Chip 0 stays transparent; then city, wall, road, castle and bridge shapes."""
    def pixel(x, y):
        kind, fx = objects[x // CHIP], x % CHIP
        if kind == 1 and 8 <= fx < 24 and 10 <= y < 26:
            return (200, 170, 120, 255) if (fx + y) % 6 else (120, 60, 40, 255)
        if kind == 2 and 12 <= y < 22:
            return (150, 150, 150, 255) if (fx % 8 and (y - 12) % 5) else (90, 90, 90, 255)
        if kind == 3 and 12 <= fx < 20:
            return (170, 130, 80, 255)
        if kind == 4 and 6 <= fx < 26 and 6 <= y < 28:
            return (180, 180, 200, 255) if y > 10 or fx % 6 < 3 else (0, 0, 0, 0)
        if kind == 5 and 10 <= y < 22:
            return (140, 100, 60, 255)
        return (0, 0, 0, 0)
    return pixel


def power_map_painter(width, height, seeds):
    """Regions around each area's paint points, parted by one-pixel black borders; the top-left pixel is black."""
    owner = [[min(seeds, key=lambda s: (s[0] - x) ** 2 + (s[1] - y) ** 2)[2] for x in range(width)]
             for y in range(height)]

    def pixel(x, y):
        edge = x in (0, width - 1) or y in (0, height - 1)
        if edge or owner[y][x] != owner[y][x + 1] or owner[y][x] != owner[y + 1][x]:
            return BORDER
        return (255, 255, 255)
    return pixel


def field_map_painter(width, height):
    """Green land with a winding river."""
    def pixel(x, y):
        river = height / 2 + height / 6 * math.sin(x / width * 2 * math.pi)
        if abs(y - river) < 6:
            return (60, 100, 200)
        r, g, b = GROUND_COLOURS[0]
        shade = int(20 * math.sin(x / 37.0) * math.cos(y / 29.0))
        return (r + shade, g + shade, b + shade // 2)
    return pixel


def read_numbers(path):
    with open(path, encoding="ascii") as source:
        return [int(token) for token in source.read().split()]


def text_of(element, tag):
    child = element.find(tag) if element is not None else None
    return child.text.strip() if child is not None and child.text else ""


def collect_character_folder(folder):
    """The chips and faces of a character folder's characters and its specials' effect sheets and sounds."""
    items = []
    characters = os.path.join(SCENARIO, folder, "CharacterData.xml")
    for chara in ET.parse(characters).getroot().findall("Character") if os.path.exists(characters) else []:
        cid = chara.get("id")
        items.append((text_of(chara, "BattleChip"), folder,
                      lambda p, cid=cid: write_png(p, CHIP, CHIP, figure_painter(cid, CHIP), True)))
        items.append((text_of(chara, "Face"), folder, lambda p, cid=cid: write_png(p, 96, 96, face_painter(cid))))
    specials = os.path.join(SCENARIO, folder, "SpecialTable.xml")
    for special in ET.parse(specials).getroot().findall("Special") if os.path.exists(specials) else []:
        image = special.find("Image")
        if image is not None and image.text:
            width, height, frames = (int(image.get(k)) for k in ("width", "height", "animation"))
            paint = effect_painter(image.text.strip(), width, height, frames)
            items.append((image.text.strip(), folder,
                          lambda p, w=width * frames, h=height, paint=paint: write_png(p, w, h, paint, True)))
        items.append((text_of(special, "Sound"), "MusicAndSound", None))
    return items


def collect(data):
    """Every (file name, folder, writer) the sample's data refers to."""
    masters = ET.parse(os.path.join(data, "MasterData.xml")).getroot()
    power = ET.parse(os.path.join(data, "PowerMap.xml")).getroot()
    field = ET.parse(os.path.join(data, "FieldMap.xml")).getroot()
    width, height = int(field.get("Width")), int(field.get("Height"))
    items = []
    for master in masters.findall("Master"):
        flag = text_of(master, "FlagFile")
        if flag:
            paint = flag_painter(argb(text_of(master, "PowerMapColor") or None))
            items.append((flag, "Picture", lambda p, paint=paint: write_png(p, 4 * CHIP, CHIP, paint, True)))
        for tag in ("Music", "BattleMusic", "MasterBattleMusic"):
            items.append((text_of(master, tag), "MusicAndSound", None))
    for folder in masters.find("Character").findall("Directory"):
        items += collect_character_folder(folder.text.strip())
    common = masters.find("CommonMusic")
    for tag in ("EventMusic", "DecisiveMusic"):
        items.append((text_of(common, tag), "MusicAndSound", None))
    seeds = [(int(p.get("x", 0)), int(p.get("y", 0)), area.get("id"))
             for area in power.find("AreaList").findall("Area") for p in area.findall("PaintPoint")
             if int(p.get("x", 0)) or int(p.get("y", 0))]
    pw, ph = width // 4, height // 4
    items.append((text_of(power, "Image/File"), "Picture", lambda p: write_png(p, pw, ph, power_map_painter(pw, ph, seeds))))
    items.append((text_of(field, "Image/File"), "Picture", lambda p: write_png(p, width, height, field_map_painter(width, height))))
    chips = read_numbers(os.path.join(data, "MapChip.txt"))
    objects = read_numbers(os.path.join(data, "MapObj.txt"))
    items.append(("BMAPCHAR.png", "Picture", lambda p: write_png(p, CHIP * len(chips), CHIP, ground_chip_painter(chips))))
    items.append(("BMAPOBJ.png", "Picture", lambda p: write_png(p, CHIP * len(objects), CHIP, object_chip_painter(objects), True)))
    return [(name, folder, writer) for name, folder, writer in items if name]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--force", action="store_true", help="rewrite files that exist")
    args = parser.parse_args()
    written = set()
    for name, folder, writer in collect(os.path.join(SCENARIO, "Data")):
        folder = PLACED_IN_CHARACTER_FOLDER.get(name, folder)
        path = os.path.join(SCENARIO, folder, name)
        if path in written or (os.path.exists(path) and not args.force):
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if writer:
            writer(path)
        else:
            write_tone(path, name)
        written.add(path)
        print("wrote", os.path.relpath(path, ROOT))


if __name__ == "__main__":
    main()
