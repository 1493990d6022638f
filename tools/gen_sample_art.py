#!/usr/bin/env python3
"""Draws the sample scenario's pictures and writes its sounds and music.

The scenario's data files name the pictures and sounds it needs; this script
reads them and draws every one: character chips and faces, the masters' flags
and the neutral flag, the terrain and map-object chip sheets, the specials'
effect strips, the battle command images and status chips, the power map and
the field map; sound effects, the common sounds and short looping melodies as
WAV files. A file is written over the one of the same name where the game
finds it (so placeholders are replaced), or else where the game looks first.

Only the Python 3 standard library is used: PNG through zlib and struct, WAV
through the wave module. Everything is drawn and synthesised here.
"""

import argparse
import math
import os
import random
import struct
import wave
import xml.etree.ElementTree as ET
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_SCENARIO = os.path.join(ROOT, "data", "Scenario", "Default")

CHIP = 32
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


# ---------------------------------------------------------------- colours

def rgba(colour):
    return colour if len(colour) == 4 else (colour[0], colour[1], colour[2], 255)


def shade(colour, factor):
    """The colour darker (factor below 1) or lighter (above 1); alpha kept."""
    c = rgba(colour)
    return tuple(max(0, min(255, int(v * factor))) for v in c[:3]) + (c[3],)


def mix(first, second, t):
    a, b = rgba(first), rgba(second)
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(4))


def alpha(colour, value):
    return tuple(colour[:3]) + (max(0, min(255, int(value))),)


def crc(text):
    return zlib.crc32(text.encode("utf-8"))


# ---------------------------------------------------------------- pictures

class Canvas:
    """An RGBA picture with the few drawing operations the pictures need."""

    def __init__(self, width, height, colour=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = bytearray(bytes(rgba(colour)) * (width * height))

    def get(self, x, y):
        i = 4 * (y * self.width + x)
        return tuple(self.pixels[i:i + 4])

    def plot(self, x, y, colour):
        """Paints one pixel over what is there (alpha blending)."""
        x, y = int(x), int(y)
        if not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b, a = rgba(colour)
        if a <= 0:
            return
        i = 4 * (y * self.width + x)
        p = self.pixels
        if a >= 255:
            p[i:i + 4] = bytes((r, g, b, 255))
            return
        below = p[i + 3] * (255 - a) // 255
        total = a + below
        for k, c in enumerate((r, g, b)):
            p[i + k] = (c * a + p[i + k] * below) // total
        p[i + 3] = total

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the pixels x0 <= x < x1, y0 <= y < y1."""
        for y in range(int(y0), int(y1)):
            for x in range(int(x0), int(x1)):
                self.plot(x, y, colour)

    def shape(self, inside, x0, y0, x1, y1, colour):
        """Fills every pixel of the box whose centre passes the test."""
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)) + 1)):
                if inside(x + 0.5, y + 0.5):
                    self.plot(x, y, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1,
                   cx - rx - 1, cy - ry - 1, cx + rx + 1, cy + ry + 1, colour)

    def ring(self, cx, cy, radius, width, colour, start=0.0, end=2 * math.pi):
        """A circle line of the width, optionally only between two angles (radians, clockwise from +x)."""
        def inside(x, y):
            if abs(math.hypot(x - cx, y - cy) - radius) > width / 2:
                return False
            angle = math.atan2(y - cy, x - cx) % (2 * math.pi)
            return (angle - start) % (2 * math.pi) <= (end - start) % (2 * math.pi) or end - start >= 2 * math.pi
        r = radius + width
        self.shape(inside, cx - r, cy - r, cx + r, cy + r, colour)

    def line(self, x0, y0, x1, y1, colour, width=1.0):
        def inside(x, y):
            dx, dy = x1 - x0, y1 - y0
            length = dx * dx + dy * dy
            t = 0 if length == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length))
            return math.hypot(x - x0 - t * dx, y - y0 - t * dy) <= width / 2
        r = width / 2 + 1
        self.shape(inside, min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r, colour)

    def polygon(self, points, colour):
        """Fills a polygon (even-odd rule) given by its corners."""
        ys = [p[1] for p in points]
        for y in range(max(0, int(min(ys))), min(self.height, int(math.ceil(max(ys))) + 1)):
            yc = y + 0.5
            crossings = []
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya <= yc < yb) or (yb <= yc < ya):
                    crossings.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            crossings.sort()
            for left, right in zip(crossings[::2], crossings[1::2]):
                for x in range(max(0, int(math.ceil(left - 0.5))), min(self.width, int(math.ceil(right - 0.5)))):
                    self.plot(x, y, colour)

    def star(self, cx, cy, outer, inner, points, colour, turn=0.0):
        corners = []
        for k in range(2 * points):
            r = outer if k % 2 == 0 else inner
            a = turn - math.pi / 2 + k * math.pi / points
            corners.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        self.polygon(corners, colour)

    def outline(self, colour):
        """Draws a one-pixel edge round every opaque shape, on transparent pixels next to it."""
        edge = []
        for y in range(self.height):
            for x in range(self.width):
                if self.get(x, y)[3] >= 128:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < self.width and 0 <= ny < self.height and self.get(nx, ny)[3] >= 128:
                        edge.append((x, y))
                        break
        for x, y in edge:
            self.plot(x, y, colour)

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.plot(left + x, top + y, other.get(x, y))

    def save(self, path, with_alpha=True):
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        stride = 4 * self.width
        rows = []
        for y in range(self.height):
            row = self.pixels[y * stride:(y + 1) * stride]
            if not with_alpha:
                row = bytes(v for i, v in enumerate(row) if i % 4 != 3)
            rows.append(b"\x00" + bytes(row))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6 if with_alpha else 2, 0, 0, 0)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                      + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def smooth_noise(seed, cell, period=None):
    """A function (x, y) -> 0..1 that varies smoothly over distances of about cell pixels;
    with a period (in cells) it repeats, so that chips tile without seams."""
    rng = random.Random(seed)
    table = [rng.random() for _ in range(256)]

    def lattice(i, j):
        if period:
            i, j = i % period, j % period
        return table[(i * 73 + j * 151 + (i * j) % 17) % 256]

    def value(x, y):
        fx, fy = x / cell, y / cell
        i, j = int(math.floor(fx)), int(math.floor(fy))
        tx, ty = fx - i, fy - j
        tx, ty = tx * tx * (3 - 2 * tx), ty * ty * (3 - 2 * ty)
        top = lattice(i, j) + (lattice(i + 1, j) - lattice(i, j)) * tx
        bottom = lattice(i, j + 1) + (lattice(i + 1, j + 1) - lattice(i, j + 1)) * tx
        return top + (bottom - top) * ty
    return value


# ---------------------------------------------------------------- the scenario's data

def text_of(element, path):
    child = element.find(path) if element is not None else None
    return child.text.strip() if child is not None and child.text else ""


def value_of(element, tag, attribute="value"):
    child = element.find(tag)
    return child.get(attribute, "") if child is not None else ""


def argb(text, default=(128, 128, 128)):
    """The colour (r, g, b) of an AARRGGBB text."""
    try:
        word = int(text, 16)
    except ValueError:
        return default
    return (word >> 16) & 255, (word >> 8) & 255, word & 255


def read_numbers(path):
    with open(path, encoding="ascii") as source:
        return [int(token) for token in source.read().split()]


class Scenario:
    """What a scenario's data files say about its pictures and sounds."""

    def __init__(self, folder):
        self.folder = folder
        data = os.path.join(folder, "Data")
        master_list = ET.parse(os.path.join(data, "MasterData.xml")).getroot()
        self.chara_dirs = [d.text.strip() for d in master_list.find("Character").findall("Directory")]
        self.masters = [{
            "id": m.get("id"),
            "colour": argb(text_of(m, "PowerMapColor")),
            "flag": text_of(m, "FlagFile"),
            "music": [text_of(m, tag) for tag in ("Music", "BattleMusic", "MasterBattleMusic")],
        } for m in master_list.findall("Master")]
        common = master_list.find("CommonMusic")
        self.event_music = text_of(common, "EventMusic")
        self.decisive_music = text_of(common, "DecisiveMusic")
        self.characters, self.specials = [], []
        for folder_name in self.chara_dirs:
            self._read_character_folder(folder_name)
        self._read_maps(data)
        self.areas = self._read_areas(os.path.join(data, "AreaData.xml"))

    def _read_character_folder(self, name):
        characters = os.path.join(self.folder, name, "CharacterData.xml")
        if os.path.exists(characters):
            for c in ET.parse(characters).getroot().findall("Character"):
                self.characters.append({
                    "id": c.get("id"), "folder": name,
                    "race": value_of(c, "Race"), "move": value_of(c, "MoveType"),
                    "attacks": [a.get("specialid", "") for a in c.findall("Attack")],
                    "special": value_of(c, "Special", "id"),
                    "hero": value_of(c, "Hero", "flag") == "true",
                    "magic": {m.get("id"): int(m.get("rank", "0")) for m in c.findall("Magic")},
                    "chip": text_of(c, "BattleChip"), "face": text_of(c, "Face"),
                })
        specials = os.path.join(self.folder, name, "SpecialTable.xml")
        if os.path.exists(specials):
            for s in ET.parse(specials).getroot().findall("Special"):
                image = s.find("Image")
                self.specials.append({
                    "id": s.get("id"), "folder": name, "sound": text_of(s, "Sound"),
                    "image": image.text.strip() if image is not None and image.text else "",
                    "type": image.get("type", "") if image is not None else "",
                    "size": tuple(int(image.get(k, "32")) for k in ("width", "height"))
                    if image is not None else (32, 32),
                    "frames": int(image.get("animation", "1")) if image is not None else 1,
                })

    def _read_maps(self, data):
        power = ET.parse(os.path.join(data, "PowerMap.xml")).getroot()
        self.power_map = text_of(power, "Image/File")
        self.power_areas = [(a.get("id"), [(int(p.get("x", 0)), int(p.get("y", 0))) for p in a.findall("PaintPoint")
                                           if int(p.get("x", 0)) or int(p.get("y", 0))])
                            for a in power.find("AreaList").findall("Area")]
        field = ET.parse(os.path.join(data, "FieldMap.xml")).getroot()
        self.field_map = text_of(field, "Image/File")
        self.field_size = int(field.get("Width")), int(field.get("Height"))
        types = ET.parse(os.path.join(data, "MapChipType.xml")).getroot()
        self.ground_names = {int(g.get("index")): text_of(g, "Name") for g in types.iter("MapGround")}
        self.object_names = {int(o.get("index")): text_of(o, "Name") for o in types.iter("MapObject")}
        self.chip_grounds = read_numbers(os.path.join(data, "MapChip.txt"))
        self.chip_objects = read_numbers(os.path.join(data, "MapObj.txt"))

    @staticmethod
    def _read_areas(path):
        if not os.path.exists(path):
            return []
        return [{
            "id": a.get("id"), "name": text_of(a, "Name"), "music": text_of(a, "Music"),
            "location": (int(a.find("Location").get("x", 0)), int(a.find("Location").get("y", 0)))
            if a.find("Location") is not None else None,
            "neighbours": [n.text.strip() for n in a.findall("NeighborArea") if n.text],
        } for a in ET.parse(path).getroot().findall("Area")]

    def place(self, name, folder):
        """Where a file goes: over a file of that name where the game finds it, else into the folder."""
        for candidate in ["Picture", "MusicAndSound"] + self.chara_dirs:
            path = os.path.join(self.folder, candidate, name)
            if os.path.exists(path):
                return path
        return os.path.join(self.folder, folder, name)


# ---------------------------------------------------------------- characters

# Clothing colours handed out in turn to the characters that are not a master.
PALETTE = [(196, 64, 56), (64, 112, 196), (72, 156, 80), (212, 164, 48), (148, 84, 176), (48, 160, 168),
           (220, 112, 40), (112, 116, 128), (176, 72, 128), (120, 84, 52), (92, 140, 60), (64, 64, 104),
           (200, 128, 152), (140, 180, 216), (160, 40, 40), (96, 176, 144)]
HAIR = [(64, 40, 24), (208, 176, 96), (144, 64, 32), (32, 32, 40), (224, 224, 232), (168, 112, 64)]
SKIN = {"human": (236, 196, 160), "elf": (248, 220, 192), "undead": (222, 218, 198), "beast": (150, 120, 90)}
METAL = (172, 178, 190)
WOOD = (120, 80, 44)


def race_of(chara):
    text = (chara["race"] + " " + chara["id"]).lower()
    for race, words in (("beast", ("beast", "wolf", "animal")), ("undead", ("undead", "skeleton", "zombie")),
                        ("elf", ("elf",))):
        if any(word in text for word in words):
            return race
    return "human"


def design_of(chara, colour):
    """How a character looks: the same in its chip and its face."""
    race = race_of(chara)
    weapon = (chara["attacks"] or [""])[0]
    magic = max(chara["magic"].values() or [0])
    light = chara["magic"].get("light", 0)
    seed = crc(chara["id"])
    design = {
        "race": race, "colour": colour, "hero": chara["hero"], "seed": seed,
        "hair": HAIR[seed % len(HAIR)], "skin": SKIN[race],
        "mounted": "horse" in chara["move"].lower(),
        "winged": any(w in (chara["special"] + chara["move"]).lower() for w in ("wing", "fly")),
        "robe": magic >= 2 or light >= 1, "hat": "hood" if light >= max(magic, 1) else ("wizard" if magic >= 2 else ""),
        "weapon": weapon,
        "rotten": race == "undead" and "touch" in weapon,
    }
    if race == "beast":
        design["skin"] = shade(colour, 0.9)[:3] if not chara["hero"] else mix(colour, (220, 200, 170), 0.5)[:3]
    if design["hat"] == "wizard":
        design["weapon"] = "staff"
    if design["rotten"]:
        design["skin"] = (150, 170, 120)
    design["helmet"] = race == "human" and not chara["hero"] and not design["robe"]
    design["shield"] = design["mounted"] and not chara["hero"]
    return design


def draw_horse(c, d):
    brown = (122, 82, 48)
    for x in (8, 11, 20, 23):
        c.rect(x, 24, x + 2, 30, shade(brown, 0.7))
    c.ellipse(16, 22, 11, 5, brown)
    c.polygon([(22, 21), (25, 13), (28, 12), (26, 21)], brown)
    c.ellipse(28, 14, 3.5, 2.5, brown)
    c.line(5, 20, 3, 27, shade(brown, 0.6), 2)
    c.rect(11, 18, 21, 23, d["colour"])
    c.plot(29, 13, BLACK)


def draw_beast(c, d):
    fur = d["skin"]
    dark = shade(fur, 0.7)
    if d["winged"]:
        light = shade(fur, 1.3)
        c.polygon([(10, 16), (4, 4), (16, 10)], light)
        c.polygon([(16, 16), (14, 3), (22, 11)], light)
    for x in (7, 11, 19, 22):
        c.rect(x, 22, x + 2, 29, dark)
    c.ellipse(15, 20, 10, 5, fur)
    c.line(6, 19, 2, 12, fur, 2.5)
    c.polygon([(21, 12), (23, 6), (25, 11)], dark)
    c.polygon([(25, 11), (28, 6), (29, 12)], dark)
    c.ellipse(25, 15, 5, 4, fur)
    c.ellipse(29, 17, 2.5, 2, shade(fur, 1.15))
    c.plot(30, 16, BLACK)
    c.plot(25, 14, BLACK)
    c.plot(28, 19, WHITE)


def draw_body(c, d, top):
    """Torso, arms and (on foot) legs of a standing figure whose shoulders are at y = top."""
    main = d["colour"]
    if d["hero"]:
        c.polygon([(11, top), (21, top), (24, top + 16), (8, top + 16)], shade(main, 0.6))
    if d["robe"]:
        c.polygon([(11, top), (21, top), (24, top + 16), (8, top + 16)], main)
        c.line(16, top + 2, 16, top + 15, shade(main, 0.75), 1)
    elif not d["mounted"]:
        legs = shade(main, 0.5) if d["race"] != "undead" or d["rotten"] else d["skin"]
        c.rect(12, top + 10, 15, top + 16, legs)
        c.rect(17, top + 10, 20, top + 16, legs)
        c.rect(11, top + 14, 15, top + 17, (60, 44, 32))
        c.rect(17, top + 14, 21, top + 17, (60, 44, 32))
    torso = METAL if d["helmet"] or d["shield"] else main
    c.rect(11, top, 21, top + 10, torso)
    if torso == METAL:
        c.rect(14, top, 18, top + 10, main)
    if d["race"] == "undead" and not d["rotten"]:
        c.rect(11, top, 21, top + 10, (40, 36, 32))
        for y in range(top + 1, top + 9, 2):
            c.line(12, y + 0.5, 20, y + 0.5, d["skin"], 1)
    c.rect(11, top + 7, 21, top + 8, (80, 56, 32))
    for x in (9, 21):
        c.rect(x, top + 1, x + 2, top + 8, shade(torso, 0.85))
        c.rect(x, top + 8, x + 2, top + 10, d["skin"])


def draw_head(c, d, cy):
    skin, hair = d["skin"], d["hair"]
    if d["race"] == "elf":
        c.polygon([(12, cy), (8, cy - 4), (13, cy - 1)], skin)
        c.polygon([(20, cy), (24, cy - 4), (19, cy - 1)], skin)
    if d["race"] in ("human", "elf") and d["hat"] != "hood":
        long_hair = d["race"] == "elf" or d["seed"] % 3 == 0
        if long_hair:
            c.rect(11, cy - 2, 21, cy + 5, hair)
    c.ellipse(16, cy, 4.5, 4.5, skin)
    eye = BLACK if d["race"] != "undead" else (20, 10, 10)
    for x in (14, 18):
        c.plot(x, cy, eye)
        if d["race"] == "undead":
            c.plot(x, cy - 1, eye)
    if d["hat"] == "wizard":
        c.ellipse(16, cy - 4, 7, 1.5, shade(d["colour"], 0.7))
        c.polygon([(11, cy - 4), (21, cy - 4), (19, cy - 13)], shade(d["colour"], 0.7))
    elif d["hat"] == "hood":
        c.ring(16, cy, 5, 2.2, shade(d["colour"], 0.85), math.pi, 2 * math.pi)
    elif d["helmet"]:
        c.ellipse(16, cy - 2, 5, 3.5, METAL)
        c.rect(15, cy - 2, 17, cy + 2, shade(METAL, 0.8))
    elif d["race"] in ("human", "elf"):
        c.ellipse(16, cy - 3, 4.8, 2.6, hair)


def draw_weapon(c, d, top):
    weapon = d["weapon"]
    if "bow" in weapon:
        c.ring(12, top + 5, 8, 1.5, WOOD, math.pi * 0.65, math.pi * 1.35)
        c.line(6, top - 2, 6, top + 12, (230, 230, 230), 0.8)
    elif "spear" in weapon:
        c.line(24, top + 16, 24, top - 8, WOOD, 1.5)
        c.polygon([(22.5, top - 7), (25.5, top - 7), (24, top - 12)], METAL)
    elif weapon == "staff":
        c.line(24, top + 16, 24, top - 6, WOOD, 1.5)
        c.ellipse(24, top - 7, 2.2, 2.2, (255, 150, 60))
    elif "touch" in weapon:
        c.rect(21, top + 1, 27, top + 3, d["skin"])
        c.rect(5, top + 1, 11, top + 3, d["skin"])
    elif weapon:
        c.line(23, top + 8, 28, top - 3, (220, 224, 232), 1.6)
        c.line(21, top + 7, 25, top + 9, (200, 160, 60), 1.4)
    if d["shield"]:
        c.ellipse(9, top + 6, 3.5, 4.5, d["colour"])
        c.plot(9, top + 6, WHITE)


def draw_chip(d):
    c = Canvas(CHIP, CHIP)
    c.ellipse(16, 29.5, 10, 2.2, (0, 0, 0, 80))
    if d["race"] == "beast":
        draw_beast(c, d)
    else:
        top = 13
        if d["mounted"]:
            draw_horse(c, d)
            top = 9
        draw_body(c, d, top)
        draw_head(c, d, top - 4)
        draw_weapon(c, d, top)
    c.outline((24, 20, 28, 200))
    return c


def draw_face(d):
    """A portrait on a background in the character's colour."""
    c = Canvas(96, 96)
    bg = d["colour"]
    for y in range(96):
        c.rect(0, y, 96, y + 1, mix(shade(bg, 1.25), shade(bg, 0.55), y / 95))
    if d["race"] == "beast":
        draw_beast_face(c, d)
    else:
        draw_person_face(c, d)
    return c


def draw_person_face(c, d):
    skin, hair, main = d["skin"], d["hair"], d["colour"]
    cloth = METAL if d["helmet"] else main
    c.ellipse(48, 104, 42, 28, cloth)
    if cloth == METAL:
        c.polygon([(36, 80), (60, 80), (56, 96), (40, 96)], main)
    if d["hero"] and not d["robe"]:
        c.ellipse(48, 104, 42, 28, shade(main, 0.7))
        c.ellipse(48, 106, 34, 24, cloth)
    c.rect(40, 64, 56, 82, shade(skin, 0.9))
    long_hair = d["hat"] != "hood" and (d["race"] == "elf" or d["seed"] % 3 == 0)
    if long_hair and d["race"] != "undead":
        c.rect(24, 36, 72, 84, shade(hair, 0.9))
    if d["race"] == "elf":
        c.polygon([(27, 46), (12, 30), (29, 54)], skin)
        c.polygon([(69, 46), (84, 30), (67, 54)], skin)
    elif d["race"] == "human":
        c.ellipse(26, 50, 4, 7, shade(skin, 0.92))
        c.ellipse(70, 50, 4, 7, shade(skin, 0.92))
    c.ellipse(48, 47, 23, 28, shade(skin, 0.75))
    c.ellipse(48, 47, 22, 27, skin)
    if d["race"] == "undead" and not d["rotten"]:
        draw_skull_features(c)
    else:
        draw_eyes_and_mouth(c, d)
    draw_headgear(c, d, long_hair)


def draw_eyes_and_mouth(c, d):
    iris = [(60, 100, 170), (90, 60, 30), (60, 130, 70), (40, 40, 40)][d["seed"] % 4]
    if d["rotten"]:
        iris = (200, 40, 30)
    for x in (38, 58):
        c.ellipse(x, 48, 5, 3.2, WHITE)
        c.ellipse(x, 48, 2.6, 3.0, iris)
        c.plot(x, 48, BLACK)
        c.line(x - 6, 41, x + 5, 40 + (x == 38) * 1.5, shade(d["hair"], 0.8), 2)
    c.line(48, 50, 46, 59, shade(d["skin"], 0.7), 1.5)
    smile = d["seed"] % 2 == 0 and not d["rotten"]
    if smile:
        c.ring(48, 60, 7, 1.6, (150, 70, 60), math.pi * 0.2, math.pi * 0.8)
    else:
        c.line(42, 66, 54, 66, (150, 70, 60), 1.6)
    if d["race"] == "human" and d["seed"] % 4 == 1 and not d["robe"]:
        c.ring(48, 56, 17, 6, shade(d["hair"], 0.9), math.pi * 0.15, math.pi * 0.85)


def draw_skull_features(c):
    for x in (38, 58):
        c.ellipse(x, 48, 6, 5.5, (30, 20, 20))
        c.plot(x, 48, (220, 60, 40))
    c.polygon([(48, 54), (44, 61), (52, 61)], (40, 30, 30))
    for x in range(38, 59, 4):
        c.rect(x, 66, x + 3, 71, (240, 236, 220))
        c.rect(x + 3, 66, x + 4, 71, (60, 50, 40))


def draw_headgear(c, d, long_hair):
    hair, main = d["hair"], d["colour"]
    if d["hat"] == "wizard":
        c.ellipse(48, 24, 34, 7, shade(main, 0.7))
        c.polygon([(26, 24), (70, 24), (60, -6)], shade(main, 0.7))
        c.star(50, 12, 5, 2, 5, (250, 220, 90))
    elif d["hat"] == "hood":
        c.ring(48, 47, 27, 8, shade(main, 0.85), math.pi, 2 * math.pi)
        c.rect(17, 47, 25, 90, shade(main, 0.85))
        c.rect(71, 47, 79, 90, shade(main, 0.85))
    elif d["helmet"]:
        c.ellipse(48, 30, 25, 16, METAL)
        c.rect(23, 30, 73, 36, shade(METAL, 0.85))
        c.rect(46, 30, 50, 56, shade(METAL, 0.8))
    elif d["race"] != "undead":
        c.ellipse(48, 28, 24, 14, hair)
        for k in range(5):
            x = 30 + 9 * k
            c.polygon([(x, 30), (x + 9, 30), (x + 4 + (d["seed"] >> k) % 3, 40)], hair)
        if d["hero"] and d["seed"] % 2:
            c.rect(26, 24, 70, 27, (230, 190, 70))


def draw_beast_face(c, d):
    fur = d["skin"]
    c.polygon([(22, 40), (28, 6), (44, 28)], shade(fur, 0.8))
    c.polygon([(74, 40), (68, 6), (52, 28)], shade(fur, 0.8))
    c.polygon([(27, 30), (30, 14), (38, 28)], (240, 190, 180))
    c.polygon([(69, 30), (66, 14), (58, 28)], (240, 190, 180))
    c.ellipse(48, 50, 28, 26, fur)
    c.ellipse(48, 66, 15, 12, shade(fur, 1.35))
    c.ellipse(48, 58, 5, 3.5, (30, 24, 24))
    c.line(48, 62, 48, 68, (60, 40, 40), 1.2)
    c.ring(44, 68, 4, 1.2, (60, 40, 40), 0, math.pi)
    c.ring(52, 68, 4, 1.2, (60, 40, 40), 0, math.pi)
    for x in (36, 60):
        c.ellipse(x, 44, 5, 4, (250, 220, 90))
        c.ellipse(x, 44, 1.5, 3.5, BLACK)
    c.ellipse(48, 104, 36, 26, d["colour"])


def character_colours(scenario):
    """A master's character wears its master's colour; the others take the palette in turn."""
    masters = {m["id"]: m["colour"] for m in scenario.masters}
    colours, turn = {}, 0
    for chara in scenario.characters:
        if chara["id"] in masters:
            colours[chara["id"]] = masters[chara["id"]]
        else:
            colours[chara["id"]] = PALETTE[turn % len(PALETTE)]
            turn += 1
    return colours


# ---------------------------------------------------------------- flags

FLAG_FRAMES = 4
NEUTRAL_FLAG = "Flag0.png"


def draw_flag(colour, emblem):
    """A strip of 32-pixel frames: a banner waving on a pole; emblem 0 to 3 is its sign, -1 none."""
    c = Canvas(CHIP * FLAG_FRAMES, CHIP)
    for frame in range(FLAG_FRAMES):
        left = frame * CHIP
        c.rect(left + 4, 3, left + 6, 31, WOOD)
        c.ellipse(left + 5, 2.5, 2, 2, (230, 190, 70))
        waves = []
        for x in range(6, 29):
            phase = (x - 6) / 4.0 - frame * math.pi / 2
            offset = 1.6 * math.sin(phase) * (x - 6) / 22
            light = 1.0 + 0.18 * math.cos(phase)
            c.rect(left + x, 5 + offset, left + x + 1, 19 + offset, shade(colour, light))
            waves.append(offset)
        centre = waves[11]
        sign = WHITE if emblem >= 0 else shade(colour, 0.7)
        if emblem == 0:
            c.star(left + 17, 12 + centre, 4.5, 2, 5, sign)
        elif emblem == 1:
            c.ellipse(left + 17, 12 + centre, 3.5, 3.5, sign)
        elif emblem == 2:
            c.polygon([(left + 17, 7 + centre), (left + 21, 12 + centre), (left + 17, 17 + centre),
                       (left + 13, 12 + centre)], sign)
        elif emblem == 3:
            c.rect(left + 16, 8 + centre, left + 18, 17 + centre, sign)
            c.rect(left + 13, 11 + centre, left + 21, 13 + centre, sign)
        else:
            c.rect(left + 8, 11 + centre, left + 27, 13 + centre, sign)
    c.outline((20, 16, 16, 160))
    return c


# ---------------------------------------------------------------- map chips and objects

# Words of the ground and object names (Japanese, as the data files write them) and what is drawn for them.
GROUND_WORDS = [("森", "forest"), ("林", "forest"), ("山", "mountain"), ("丘", "hill"), ("水", "water"),
                ("川", "water"), ("海", "water"), ("湖", "water"), ("沼", "swamp"), ("砂", "sand"),
                ("雪", "snow"), ("道", "road"), ("平", "grass"), ("草", "grass")]
OBJECT_WORDS = [("城壁", "wall"), ("壁", "wall"), ("橋", "bridge"), ("城", "castle"), ("街", "city"),
                ("町", "city"), ("村", "city"), ("道", "road")]


def kind_of(name, words, default):
    for word, kind in words:
        if word in name:
            return kind
    return default


def draw_ground(kind, variant):
    """One 32 x 32 terrain chip whose texture tiles with its neighbours."""
    c = Canvas(CHIP, CHIP)
    noise = smooth_noise(crc(kind) + variant, 8, CHIP // 8)
    base = {"grass": (92, 160, 68), "forest": (60, 120, 52), "hill": (150, 150, 84), "mountain": (128, 112, 96),
            "water": (52, 100, 196), "swamp": (80, 100, 70), "sand": (214, 196, 140), "snow": (232, 236, 244),
            "road": (170, 140, 96)}.get(kind, (128, 128, 128))
    for y in range(CHIP):
        for x in range(CHIP):
            n = noise(x, y)
            if kind == "water":
                ripple = 0.5 + 0.5 * math.sin((x + 2 * y) * math.pi / 8 + n * 6)
                colour = mix(base, (110, 160, 236), 0.35 * ripple)
            else:
                colour = shade(base, 0.85 + 0.3 * n)
            c.plot(x, y, colour)
    rng = random.Random(crc(kind) * 7 + variant)
    DECORATIONS.get(kind, lambda *_: None)(c, rng, variant, base)
    return c


def decorate_grass(c, rng, variant, base):
    for _ in range(14):
        x, y = rng.randrange(1, 31), rng.randrange(2, 31)
        c.line(x, y, x + rng.choice((-1, 1)), y - 2, shade(base, 1.3), 1)
    if variant == 1:
        for _ in range(6):
            x, y = rng.randrange(2, 30), rng.randrange(2, 30)
            c.plot(x, y, rng.choice([(250, 240, 110), (240, 120, 150), WHITE]))
    elif variant >= 2:
        c.rect(0, 12, 32, 20, (176, 146, 100))
        for x in range(0, 32, 3):
            c.plot(x + rng.randrange(2), rng.choice((12, 19)), (150, 124, 84))


def decorate_forest(c, rng, variant, base):
    trees = [(8, 9), (24, 8), (16, 20), (4, 26), (28, 25)] + ([(16, 4), (10, 16), (24, 17)] if variant else [])
    for x, y in trees:
        c.rect(x - 1, y + 3, x + 1, y + 7, (90, 60, 34))
        c.ellipse(x, y + 1, 5, 5, shade(base, 0.7))
        c.ellipse(x - 1, y, 3.5, 3.5, shade(base, 1.15))


def decorate_hill(c, rng, variant, base):
    for x, y in ((9, 14), (24, 27)) if not variant else ((22, 12), (8, 26), (26, 30)):
        mound = lambda px, py, x=x, y=y: ((px - x) / 9) ** 2 + ((py - y) / 7) ** 2 <= 1 and py <= y
        c.shape(mound, x - 10, y - 8, x + 10, y, shade(base, 1.12))
        c.ring(x, y, 8.5, 1.5, shade(base, 0.72), math.pi * 1.05, math.pi * 1.95)


def decorate_mountain(c, rng, variant, base):
    for x, y, size in ((10, 26, 11), (23, 28, 13)) if not variant else ((16, 28, 15),):
        c.polygon([(x - size, y), (x, y - size * 1.6), (x + size, y)], (112, 100, 92))
        c.polygon([(x, y - size * 1.6), (x + size, y), (x + 2, y)], (86, 76, 70))
        c.polygon([(x - size * 0.35, y - size * 1.05), (x, y - size * 1.6), (x + size * 0.35, y - size * 1.05)],
                  (240, 240, 248))


def decorate_water(c, rng, variant, base):
    for _ in range(3 + variant * 2):
        x, y = rng.randrange(2, 26), rng.randrange(3, 30)
        c.line(x, y, x + 5, y, (200, 224, 250), 1)


DECORATIONS = {"grass": decorate_grass, "forest": decorate_forest, "hill": decorate_hill,
               "mountain": decorate_mountain, "water": decorate_water}


def draw_object(kind):
    """One 32 x 32 map object on a transparent ground, drawn over a terrain chip."""
    c = Canvas(CHIP, CHIP)
    stone, dark = (168, 164, 156), (100, 96, 92)
    if kind == "city":
        for x, y, roof in ((3, 13, (190, 70, 50)), (17, 9, (70, 90, 170)), (10, 21, (180, 120, 50))):
            c.rect(x, y, x + 12, y + 8, (226, 212, 180))
            c.polygon([(x - 1, y), (x + 6, y - 6), (x + 13, y)], roof)
            c.rect(x + 5, y + 4, x + 8, y + 8, (90, 60, 40))
            c.rect(x + 1, y + 2, x + 3, y + 4, (120, 170, 220))
    elif kind == "wall":
        c.rect(0, 10, 32, 26, stone)
        for x in range(0, 32, 8):
            c.rect(x, 6, x + 5, 10, stone)
        for y in range(10, 26, 4):
            for x in range(-4 * ((y // 4) % 2), 32, 8):
                c.rect(x, y, x + 8, y + 1, dark)
                c.rect(x, y, x + 1, y + 4, dark)
    elif kind == "road":
        c.rect(0, 10, 32, 22, (184, 156, 112))
        for x in range(1, 32, 5):
            c.rect(x, 12 + x % 3 * 3, x + 3, 14 + x % 3 * 3, (160, 132, 92))
    elif kind == "castle":
        for x in (3, 23):
            c.rect(x, 6, x + 7, 28, stone)
            c.rect(x - 1, 3, x + 8, 7, stone)
            c.polygon([(x - 1, 3), (x + 3.5, -3), (x + 8, 3)], (60, 80, 160))
        c.rect(9, 11, 24, 28, shade(stone, 0.95))
        c.rect(13, 19, 20, 28, (60, 40, 30))
        c.ring(16.5, 19, 3.5, 7, (60, 40, 30), math.pi, 2 * math.pi)
        c.line(16, 11, 16, 1, WOOD, 1)
        c.rect(17, 1, 23, 5, (200, 40, 40))
    elif kind == "bridge":
        c.rect(0, 9, 32, 23, (150, 104, 60))
        for x in range(0, 32, 4):
            c.rect(x, 9, x + 1, 23, (110, 74, 42))
        c.rect(0, 8, 32, 10, (90, 60, 34))
        c.rect(0, 22, 32, 24, (90, 60, 34))
    if kind != "none":
        c.outline((30, 26, 24, 140))
    return c


def draw_sheet(chips):
    sheet = Canvas(CHIP * len(chips), CHIP)
    for i, chip in enumerate(chips):
        sheet.paste(chip, i * CHIP, 0)
    return sheet


def draw_ground_sheet(scenario):
    seen, chips = {}, []
    for ground in scenario.chip_grounds:
        kind = kind_of(scenario.ground_names.get(ground, ""), GROUND_WORDS, "grass")
        chips.append(draw_ground(kind, seen.get(kind, 0)))
        seen[kind] = seen.get(kind, 0) + 1
    return draw_sheet(chips)


def draw_object_sheet(scenario):
    return draw_sheet([draw_object(kind_of(scenario.object_names.get(o, ""), OBJECT_WORDS, "none"))
                       for o in scenario.chip_objects])


# ---------------------------------------------------------------- effects

# Words of an effect's file name or special id and the animation drawn for them, first match wins.
EFFECT_WORDS = [("fire", "fire"), ("heal", "sparkle"), ("prayer", "sparkle"), ("slash", "slash"),
                ("sword", "slash"), ("arrow", "arrow"), ("bow", "arrow"), ("bite", "bite"), ("quake", "quake"),
                ("crash", "burst"), ("siege", "burst"), ("aura", "ring"), ("warcry", "ring"), ("ward", "shield"),
                ("wing", "shield"), ("dark", "dark"), ("death", "dark"), ("undead", "spirit"), ("raise", "spirit"),
                ("holy", "light"), ("light", "light"), ("banish", "light"), ("poison", "cloud"),
                ("summon", "circle")]


def effect_style(special):
    text = (special["image"] + " " + special["id"]).lower()
    for word, style in EFFECT_WORDS:
        if word in text:
            return style
    return "burst"


def effect_burst(c, cx, cy, size, t, rng):
    c.star(cx, cy, size * (0.3 + 0.6 * t), size * 0.15 * (1 + t), 8, alpha((255, 220, 90), 255 * (1.1 - t)), t)
    c.ellipse(cx, cy, size * 0.25 * (1 - t) + 1, size * 0.25 * (1 - t) + 1, alpha(WHITE, 230 * (1 - t)))
    for _ in range(8):
        a, d = rng.uniform(0, 2 * math.pi), size * (0.3 + 0.65 * t) * rng.uniform(0.7, 1)
        c.ellipse(cx + d * math.cos(a), cy + d * math.sin(a), 1.6, 1.6, (120, 104, 90, 230))


def effect_slash(c, cx, cy, size, t, rng):
    start = math.pi * 1.1
    for k in range(3):
        span = math.pi * 0.75 * min(1, (t + 0.3) - k * 0.12)
        if span > 0:
            c.ring(cx - size * 0.1, cy + size * 0.1, size * (0.7 - 0.1 * k), 2.5 - 0.6 * k,
                   alpha((235, 240, 255), 250 - 70 * k), start, start + span)


def effect_arrow(c, cx, cy, size, t, rng):
    x = cx - size * 0.8 + size * 1.6 * t
    c.line(x - size * 0.6, cy, x, cy, WOOD, 1.5)
    c.polygon([(x + 4, cy), (x - 1, cy - 3), (x - 1, cy + 3)], (220, 224, 232))
    c.polygon([(x - size * 0.6, cy), (x - size * 0.6 - 3, cy - 3), (x - size * 0.5, cy)], (240, 240, 240))
    c.polygon([(x - size * 0.6, cy), (x - size * 0.6 - 3, cy + 3), (x - size * 0.5, cy)], (240, 240, 240))


def effect_bite(c, cx, cy, size, t, rng):
    gap = size * 0.45 * (1 - t)
    for sign in (-1, 1):
        y = cy + sign * (gap + 2)
        for k in range(4):
            x = cx - size * 0.45 + k * size * 0.3
            c.polygon([(x, y), (x + size * 0.3, y), (x + size * 0.15, y - sign * size * 0.25)], (248, 248, 240))
    if t > 0.6:
        c.ellipse(cx, cy, size * 0.3 * t, size * 0.15 * t, (220, 30, 30, 200))


def effect_ring(c, cx, cy, size, t, rng):
    radius = size * (0.15 + 0.75 * t)
    c.ring(cx, cy, radius, 3 + 2 * (1 - t), alpha((255, 210, 80), 240 * (1.1 - t)))
    for k in range(12):
        a = k * math.pi / 6 + t
        c.line(cx + radius * 0.6 * math.cos(a), cy + radius * 0.6 * math.sin(a),
               cx + radius * 1.1 * math.cos(a), cy + radius * 1.1 * math.sin(a), (255, 240, 160, 200), 1.5)


def effect_shield(c, cx, cy, size, t, rng):
    radius = size * (0.3 + 0.45 * min(1, t * 1.5))
    corners = [(cx + radius * math.cos(k * math.pi / 3), cy + radius * math.sin(k * math.pi / 3)) for k in range(6)]
    c.polygon(corners, (90, 160, 255, 70))
    for a, b in zip(corners, corners[1:] + corners[:1]):
        c.line(a[0], a[1], b[0], b[1], (170, 220, 255, 230), 2)


def effect_dark(c, cx, cy, size, t, rng):
    c.ellipse(cx, cy, size * 0.45 * (1 - t * 0.4), size * 0.45 * (1 - t * 0.4), (30, 0, 40, 170))
    for arm in range(3):
        for k in range(14):
            a = arm * 2 * math.pi / 3 + k * 0.35 + t * 4
            r = size * 0.05 + k * size * 0.032 * (1.2 - t * 0.4)
            c.ellipse(cx + r * math.cos(a), cy + r * math.sin(a), 1.2, 1.2, (170, 80, 220, 230))


def effect_spirit(c, cx, cy, size, t, rng):
    y = cy + size * 0.3 - size * 0.6 * t
    c.ellipse(cx, y, size * 0.32, size * 0.34, (210, 255, 220, 200))
    c.polygon([(cx - size * 0.32, y), (cx + size * 0.32, y), (cx + size * 0.15, y + size * 0.6),
               (cx, y + size * 0.4), (cx - size * 0.15, y + size * 0.6)], (210, 255, 220, 160))
    for dx in (-0.08, 0.08):
        c.ellipse(cx + size * dx, y - size * 0.03, 1.5, 2, (30, 60, 40))


def effect_light(c, cx, cy, size, t, rng):
    for k in range(16):
        a = k * math.pi / 8 + t * 0.6
        length = size * (0.4 + 0.6 * t) * (1 if k % 2 else 0.7)
        c.polygon([(cx, cy), (cx + length * math.cos(a - 0.06), cy + length * math.sin(a - 0.06)),
                   (cx + length * math.cos(a + 0.06), cy + length * math.sin(a + 0.06))], (255, 250, 200, 150))
    c.ellipse(cx, cy, size * 0.2 * (0.5 + t), size * 0.2 * (0.5 + t), (255, 255, 240, 230))
    c.rect(cx - 2, cy - size * 0.35 * t, cx + 2, cy + size * 0.35 * t, (255, 255, 255, 220))
    c.rect(cx - size * 0.2 * t, cy - 2, cx + size * 0.2 * t, cy + 2, (255, 255, 255, 220))


def effect_fire(c, cx, cy, size, t, rng):
    flicker = 1 + 0.15 * math.sin(t * 9)
    c.polygon([(cx - size * 0.45, cy - size * 0.08), (cx, cy - size * 0.25), (cx, cy + size * 0.25),
               (cx - size * 0.45, cy + size * 0.08)], (255, 120, 30, 180))
    c.ellipse(cx, cy, size * 0.3 * flicker, size * 0.3 * flicker, (255, 110, 20))
    c.ellipse(cx + 1, cy, size * 0.2 * flicker, size * 0.2 * flicker, (255, 200, 60))
    c.ellipse(cx + 2, cy, size * 0.09, size * 0.09, (255, 255, 200))


def effect_quake(c, cx, cy, size, t, rng):
    c.rect(0, cy + size * 0.2, c.width, c.height, (120, 90, 60, int(90 * t)))
    for k in range(6):
        x, y = cx, cy + size * 0.4
        a = math.pi * (0.05 + 0.18 * k)
        for step in range(7):
            nx, ny = x + size * 0.14 * math.cos(a), y + size * 0.1 * math.sin(a) + rng.uniform(-3, 3)
            if step < 1 + 6 * t:
                c.line(x, y, nx, ny, (50, 30, 20), 3 - step * 0.3)
            x, y = nx, ny
    for _ in range(7):
        x, r = cx + rng.uniform(-size * 1.2, size * 1.2), size * rng.uniform(0.06, 0.12)
        y = cy - size * 0.9 + size * 1.3 * t * rng.uniform(0.7, 1.1)
        c.polygon([(x - r, y), (x, y - r), (x + r, y - r * 0.3), (x + r * 0.5, y + r)], (130, 110, 90))


def effect_sparkle(c, cx, cy, size, t, rng):
    c.ellipse(cx, cy, size * 0.45, size * 0.45, (120, 255, 140, int(70 * (1 - t) + 20)))
    for _ in range(7):
        x = cx + rng.uniform(-size * 0.4, size * 0.4)
        y = cy + size * 0.4 - (rng.uniform(0, size * 0.4) + size * 0.6 * t)
        r = rng.uniform(2.5, 4.5)
        c.star(x, y, r, r * 0.3, 4, (240, 255, 220))
        c.plot(x, y, WHITE)


def effect_cloud(c, cx, cy, size, t, rng):
    for _ in range(7):
        a, d = rng.uniform(0, 2 * math.pi), rng.uniform(0, size * 0.35 * (0.5 + t))
        r = size * rng.uniform(0.15, 0.25) * (0.6 + 0.6 * t)
        c.ellipse(cx + d * math.cos(a), cy + d * math.sin(a), r, r, (110, 190, 60, 120))
    for _ in range(4):
        c.ring(cx + rng.uniform(-size * 0.4, size * 0.4), cy + rng.uniform(-size * 0.4, size * 0.4), 2, 1,
               (200, 255, 120, 220))


def effect_circle(c, cx, cy, size, t, rng):
    radius = size * 0.42
    c.ring(cx, cy, radius, 1.5, (180, 120, 255, 230), 0, 2 * math.pi * min(1, t * 1.4))
    if t > 0.4:
        corners = [(cx + radius * math.cos(k * 4 * math.pi / 5 - math.pi / 2),
                    cy + radius * math.sin(k * 4 * math.pi / 5 - math.pi / 2)) for k in range(5)]
        for a, b in zip(corners, corners[1:] + corners[:1]):
            c.line(a[0], a[1], b[0], b[1], (220, 180, 255, 220), 1)
    for k in range(6):
        a = k * math.pi / 3 + t * 2
        c.ellipse(cx + radius * math.cos(a), cy + radius * math.sin(a), 1.5, 1.5, WHITE)


EFFECTS = {"burst": effect_burst, "slash": effect_slash, "arrow": effect_arrow, "bite": effect_bite,
           "ring": effect_ring, "shield": effect_shield, "dark": effect_dark, "spirit": effect_spirit,
           "light": effect_light, "fire": effect_fire, "quake": effect_quake, "sparkle": effect_sparkle,
           "cloud": effect_cloud, "circle": effect_circle}


def draw_effect(special):
    """One row of frames of the special's size, the animation chosen by its name."""
    (width, height), frames = special["size"], max(1, special["frames"])
    c = Canvas(width * frames, height)
    style = EFFECTS[effect_style(special)]
    for frame in range(frames):
        cell = Canvas(width, height)
        t = (frame + 1) / frames
        # The same draws in every frame: particles keep their paths while t moves them.
        style(cell, width / 2, height / 2, min(width, height) / 2, t, random.Random(7))
        c.paste(cell, frame * width, 0)
    return c


# ---------------------------------------------------------------- battle command images and status chips

STATUS_CHIPS = ["defense", "departure"]
ICON = (236, 232, 220)


def command_wait(c):
    c.polygon([(9, 6), (23, 6), (16, 16)], ICON)
    c.polygon([(16, 16), (23, 26), (9, 26)], ICON)
    c.polygon([(12, 21), (20, 21), (22, 25), (10, 25)], (220, 190, 100))
    c.rect(8, 4, 24, 6, WOOD)
    c.rect(8, 26, 24, 28, WOOD)


def command_move(c):
    c.polygon([(10, 6), (17, 6), (17, 18), (25, 20), (25, 26), (10, 26)], (150, 100, 60))
    c.rect(10, 24, 26, 27, (90, 60, 36))
    c.line(4, 14, 8, 14, ICON, 1.5)
    c.line(3, 19, 8, 19, ICON, 1.5)


def sword(c, x0, y0, x1, y1):
    c.line(x0, y0, x1, y1, (224, 228, 240), 2.5)
    dx, dy = (x1 - x0) / 8, (y1 - y0) / 8
    c.line(x0 + dx - dy * 1.2, y0 + dy + dx * 1.2, x0 + dx + dy * 1.2, y0 + dy - dx * 1.2, (210, 170, 70), 2)
    c.line(x0, y0, x0 - dx * 0.6, y0 - dy * 0.6, WOOD, 2.5)


def command_attack(c):
    sword(c, 8, 24, 25, 7)


def command_magic(c):
    c.line(7, 26, 18, 15, WOOD, 2)
    c.star(21, 11, 8, 3, 5, (250, 220, 90))
    for x, y in ((8, 8), (27, 22), (13, 17)):
        c.star(x, y, 2.5, 0.8, 4, ICON)


def command_special(c):
    c.polygon([(18, 3), (8, 18), (15, 18), (12, 29), (24, 12), (17, 12)], (255, 210, 60))


def command_charge(c):
    sword(c, 7, 25, 24, 8)
    sword(c, 25, 25, 8, 8)


def curved_arrow(c, cx, cy, colour):
    c.ring(cx, cy, 7, 2.5, colour, math.pi * 0.9, math.pi * 2.3)
    c.polygon([(cx - 11, cy - 1), (cx - 3, cy - 1), (cx - 7, cy + 5)], colour)


def command_redo(c):
    curved_arrow(c, 17, 17, ICON)


def command_redo2(c):
    curved_arrow(c, 14, 19, shade(ICON, 0.75))
    curved_arrow(c, 19, 14, ICON)


def command_runaway(c):
    c.line(9, 28, 9, 4, WOOD, 2)
    c.polygon([(10, 5), (25, 7), (23, 12), (26, 17), (10, 16)], WHITE)


COMMAND_DRAWINGS = {"wait": command_wait, "move": command_move, "attack": command_attack, "magic": command_magic,
                    "special": command_special, "charge": command_charge, "redo": command_redo,
                    "redo2": command_redo2, "runaway": command_runaway}


def draw_command(name):
    """A button picture: the command's sign on a rounded dark panel."""
    c = Canvas(CHIP, CHIP)
    c.shape(lambda x, y: max(abs(x - 16) - 11, 0) ** 2 + max(abs(y - 16) - 11, 0) ** 2 <= 16, 0, 0, 32, 32,
            (40, 56, 104))
    COMMAND_DRAWINGS[name](c)
    return c


def draw_status_chip(name):
    """A small badge in the chip's top-left corner; the character's chip shows through the rest."""
    c = Canvas(CHIP, CHIP)
    if name == "defense":
        c.polygon([(1, 1), (11, 1), (11, 7), (6, 12), (1, 7)], (250, 250, 250))
        c.polygon([(2, 2), (10, 2), (10, 7), (6, 11), (2, 7)], (50, 100, 220))
    else:
        c.polygon([(1, 1), (8, 1), (12, 6), (8, 11), (1, 11), (4, 6)], (250, 250, 250))
        c.polygon([(2, 2), (7.5, 2), (11, 6), (7.5, 10), (2, 10), (5, 6)], (220, 60, 40))
    return c


# ---------------------------------------------------------------- the world: power map and field map

SEA = None
PARCHMENT = (236, 228, 204)
SEA_COLOUR = (112, 156, 208)


def png_size(path):
    """Width and height of a PNG file, or None."""
    try:
        with open(path, "rb") as source:
            header = source.read(24)
        return struct.unpack(">II", header[16:24]) if header[:8] == b"\x89PNG\r\n\x1a\n" else None
    except OSError:
        return None


class World:
    """The land, sea and area regions, in power-map pixels; the field map is the same world scaled up."""

    def __init__(self, scenario):
        field_w, field_h = scenario.field_size
        existing = png_size(scenario.place(scenario.power_map, "Picture"))
        self.size = existing or (field_w // 4, field_h // 4)
        self.scale = field_w / self.size[0], field_h / self.size[1]
        self.seeds = [(x, y, area) for area, points in scenario.power_areas for x, y in points]
        spacing = min((math.hypot(a[0] - b[0], a[1] - b[1]) for a in self.seeds for b in self.seeds
                       if a[2] != b[2]), default=40)
        self.reach = spacing * 0.8
        xs, ys = [p[0] for p in self.seeds], [p[1] for p in self.seeds]
        self.heart = min(xs), min(ys), max(xs), max(ys)
        self.warp_x = smooth_noise(11, spacing * 0.4)
        self.warp_y = smooth_noise(12, spacing * 0.4)
        self.coast = smooth_noise(13, spacing * 0.3)
        self.grid = [[self.owner_at(x + 0.5, y + 0.5) for x in range(self.size[0])] for y in range(self.size[1])]

    def nearest(self, x, y):
        """(distance, area) of the nearest paint point, with the position warped so that borders wander."""
        wx = x + (self.warp_x(x, y) - 0.5) * self.reach * 0.35
        wy = y + (self.warp_y(x, y) - 0.5) * self.reach * 0.35
        return min((math.hypot(wx - sx, wy - sy), area) for sx, sy, area in self.seeds)

    def land(self, x, y):
        """How far out a point lies: below 1 is land, the coast is near 1. The land holds every paint point
        and reaches out from their bounding box by a wandering margin."""
        left, top, right, bottom = self.heart
        distance = math.hypot(max(left - x, 0, x - right), max(top - y, 0, y - bottom))
        return (distance + self.reach * 0.25) / (self.reach * (0.5 + 0.45 * self.coast(x, y)))

    def owner_at(self, x, y):
        return SEA if self.land(x, y) >= 1 else self.nearest(x, y)[1]

    def is_border(self, x, y):
        w, h = self.size
        if x in (0, w - 1) or y in (0, h - 1):
            return True
        return self.grid[y][x] != self.grid[y][x + 1] or self.grid[y][x] != self.grid[y + 1][x]

    def check_seeds(self):
        """Every paint point must lie inside its own area's region, or its fill would colour another."""
        for x, y, area in self.seeds:
            if self.grid[y][x] != area or self.is_border(x, y):
                raise SystemExit("paint point (%d, %d) of %s lies outside its region" % (x, y, area))

    def neighbours(self):
        """Pairs of areas whose regions touch."""
        pairs = set()
        for y in range(self.size[1] - 1):
            for x in range(self.size[0] - 1):
                here = self.grid[y][x]
                for other in (self.grid[y][x + 1], self.grid[y + 1][x]):
                    if here is not SEA and other is not SEA and other != here:
                        pairs.add(tuple(sorted((here, other))))
        return sorted(pairs)


def draw_power_map(world):
    """Every area a region of one colour, the sea another, all parted by black lines; (0, 0) is black."""
    w, h = world.size
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            c.plot(x, y, BLACK if world.is_border(x, y) else (SEA_COLOUR if world.grid[y][x] is SEA else PARCHMENT))
    return c


def town_sites(scenario, world):
    """Where each area's town lies on the field map: under the flag the world map draws at its location."""
    sites = {}
    for area in scenario.areas:
        if area["location"]:
            sites[area["id"]] = (area["location"][0] + 16, area["location"][1] + 22)
    for x, y, area in world.seeds:
        sites.setdefault(area, (x * world.scale[0], y * world.scale[1]))
    return sites


def road_pairs(scenario, world):
    named = [(a["id"], n) for a in scenario.areas for n in a["neighbours"]]
    return sorted({tuple(sorted(p)) for p in named}) if named else world.neighbours()


def road_segments(a, b, seed):
    """A road from a to b that bends a little to one side, as short straight pieces."""
    length = math.hypot(b[0] - a[0], b[1] - a[1])
    bend = (seed % 21 - 10) / 100 * length
    mx = (a[0] + b[0]) / 2 - (b[1] - a[1]) / max(length, 1) * bend
    my = (a[1] + b[1]) / 2 + (b[0] - a[0]) / max(length, 1) * bend
    points = [((1 - t) ** 2 * a[0] + 2 * t * (1 - t) * mx + t * t * b[0],
               (1 - t) ** 2 * a[1] + 2 * t * (1 - t) * my + t * t * b[1]) for t in (k / 12 for k in range(13))]
    return list(zip(points, points[1:]))


def distance_to_segment(px, py, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    length = dx * dx + dy * dy
    t = 0 if length == 0 else max(0.0, min(1.0, ((px - a[0]) * dx + (py - a[1]) * dy) / length))
    return math.hypot(px - a[0] - t * dx, py - a[1] - t * dy)


def draw_field_map(scenario, world):
    """A landscape of the same world: sea, beaches, meadows, forests, mountains, roads and towns."""
    width, height = scenario.field_size
    sx, sy = world.scale
    sites = town_sites(scenario, world)
    roads = [segment for a, b in road_pairs(scenario, world) if a in sites and b in sites
             for segment in road_segments(sites[a], sites[b], crc(a + b))]
    c = Canvas(width, height)
    grain = smooth_noise(21, 9)
    # The land and the areas are worked out once for every 2 x 2 pixels.
    blocks = [[world.land((x + 1) / sx, (y + 1) / sy) for x in range(0, width, 2)] for y in range(0, height, 2)]
    owners = [[SEA if blocks[y // 2][x // 2] >= 1 else world.nearest((x + 1) / sx, (y + 1) / sy)[1]
               for x in range(0, width, 2)] for y in range(0, height, 2)]
    owners = [[row[x // 2] for x in range(width)] for row in owners for _ in (0, 1)][:height]
    for y in range(height):
        for x in range(width):
            c.plot(x, y, ground_colour(blocks[y // 2][x // 2], grain(x, y), x, y))
    for y in range(height - 1):
        for x in range(width - 1):
            if owners[y][x] is not SEA and SEA not in (owners[y][x + 1], owners[y + 1][x]) \
                    and (owners[y][x] != owners[y][x + 1] or owners[y][x] != owners[y + 1][x]) and (x + y) % 4 < 2:
                c.plot(x, y, (60, 80, 40, 110))
    traits = area_traits(scenario)
    draw_lakes(c, sites, traits)
    for a, b in roads:
        c.line(a[0], a[1], b[0], b[1], (150, 118, 76), 4)
        c.line(a[0], a[1], b[0], b[1], (196, 166, 116), 2)
    scatter(c, world, sites, roads, traits)
    for area, (x, y) in sites.items():
        TOWNS[min(traits.get(area, set()) & set(TOWNS) or {"village"})](c, x, y)
    return c


def ground_colour(land, grain, x, y):
    # Few distinct shades keep the picture small.
    grain = round(grain * 6) / 6
    if land >= 1:
        depth = min(1.0, (land - 1) * 3)
        wave = 0.04 * round(math.sin(x * 0.35 + y * 0.2 + grain * 5))
        return shade(mix((96, 160, 214), (40, 84, 160), round(depth * 4) / 4), 1 + wave)
    if land > 0.93:
        return shade((222, 206, 150), 0.95 + 0.1 * grain)
    return shade(mix((112, 172, 76), (84, 140, 60), grain), 0.92 + 0.12 * grain)


# Words of an area's name (Japanese, as the area data writes them) and what its land has.
AREA_WORDS = [("森", "forest"), ("林", "forest"), ("山", "mountain"), ("峠", "mountain"), ("丘", "hill"),
              ("湖", "lake"), ("平原", "plain"), ("野", "plain"), ("砦", "fort"), ("城", "fort"), ("廃", "ruin")]
# How much of the land carries trees and mountains: the noise level above which they grow.
WOODS = {"forest": 0.42, "plain": 1.0, "hill": 0.75}
HEIGHTS = {"mountain": 0.45, "plain": 1.0, "hill": 1.0, "forest": 0.75}


def area_traits(scenario):
    """The words of AREA_WORDS that each area's name holds."""
    return {area["id"]: {trait for word, trait in AREA_WORDS if word in area["name"]} for area in scenario.areas}


def threshold(table, traits, default):
    return min([table[t] for t in traits if t in table] or [default])


def draw_lakes(c, sites, traits):
    for area, (x, y) in sites.items():
        if "lake" in traits.get(area, ()):
            c.ellipse(x, y + 52, 38, 17, (222, 206, 150))
            c.ellipse(x, y + 52, 35, 14, (72, 128, 204))
            c.ellipse(x - 8, y + 49, 14, 4, (120, 170, 230))


def scatter(c, world, sites, roads, traits):
    """Mountains, hills and trees where the land rises or grows wild, as each area's name says, away from the
    towns, roads and lakes."""
    rng = random.Random(5)
    heights, woods = smooth_noise(31, 70), smooth_noise(32, 45)
    sx, sy = world.scale

    def area_at(x, y):
        return traits.get(world.nearest(x / sx, y / sy)[1], set())

    def free(x, y, margin):
        if world.land(x / sx, y / sy) > 0.85:
            return False
        for area, (tx, ty) in sites.items():
            lake = "lake" in traits.get(area, ()) and math.hypot((x - tx) / 44, (y - ty - 52) / 24) < 1
            if lake or math.hypot(x - tx, y - ty) < margin + 18:
                return False
        return all(distance_to_segment(x, y, a, b) > margin for a, b in roads)

    for y in range(8, c.height, 24):
        for x in range(8, c.width, 24):
            px, py = x + rng.uniform(-6, 6), y + rng.uniform(-6, 6)
            traits_here = area_at(px, py)
            if "hill" in traits_here and heights(px, py) > 0.3 and free(px, py, 12):
                draw_hill(c, px, py)
            elif heights(px, py) > threshold(HEIGHTS, traits_here, 0.62) and free(px, py, 16):
                draw_mountain(c, px, py, 10 + 6 * heights(px, py))
    for y in range(4, c.height, 9):
        for x in range(4, c.width, 9):
            px, py = x + rng.uniform(-3, 3), y + rng.uniform(-3, 3)
            traits_here = area_at(px, py)
            if woods(px, py) > threshold(WOODS, traits_here, 0.6) \
                    and heights(px, py) <= threshold(HEIGHTS, traits_here, 0.62) and free(px, py, 7):
                c.rect(px - 0.5, py + 2, px + 1.5, py + 6, (90, 60, 34))
                c.ellipse(px, py, 4.5, 4.5, (36, 92, 44))
                c.ellipse(px - 1, py - 1, 2.8, 2.8, (70, 136, 64))


def draw_hill(c, x, y):
    mound = lambda px, py: ((px - x) / 11) ** 2 + ((py - y) / 8) ** 2 <= 1 and py <= y
    c.shape(mound, x - 12, y - 9, x + 12, y, (136, 186, 88))
    c.ring(x, y, 10.5, 1.5, (80, 120, 56), math.pi * 1.05, math.pi * 1.95)


def draw_mountain(c, x, y, size):
    c.polygon([(x - size, y + size * 0.6), (x, y - size), (x + size, y + size * 0.6)], (132, 118, 104))
    c.polygon([(x, y - size), (x + size, y + size * 0.6), (x + size * 0.15, y + size * 0.6)], (98, 86, 78))
    c.polygon([(x - size * 0.33, y - size * 0.47), (x, y - size), (x + size * 0.33, y - size * 0.47)],
              (244, 244, 250))


def draw_village(c, x, y):
    for dx, dy, roof in ((-9, -2, (186, 72, 52)), (2, -5, (70, 92, 168)), (-3, 5, (176, 120, 52))):
        c.rect(x + dx, y + dy, x + dx + 9, y + dy + 6, (232, 220, 190))
        c.polygon([(x + dx - 1, y + dy), (x + dx + 4.5, y + dy - 5), (x + dx + 10, y + dy)], roof)
        c.rect(x + dx + 4, y + dy + 3, x + dx + 6, y + dy + 6, (90, 60, 40))


def draw_fort(c, x, y):
    stone = (176, 170, 160)
    c.rect(x - 12, y - 4, x + 12, y + 9, stone)
    for tx in (x - 14, x + 8):
        c.rect(tx, y - 9, tx + 6, y + 9, shade(stone, 0.9))
        c.polygon([(tx - 1, y - 9), (tx + 3, y - 14), (tx + 7, y - 9)], (150, 60, 50))
    c.rect(x - 3, y + 2, x + 3, y + 9, (70, 50, 36))
    c.line(x, y - 4, x, y - 13, WOOD, 1)
    c.rect(x + 1, y - 13, x + 6, y - 10, (200, 40, 40))


def draw_ruin(c, x, y):
    stone = (150, 146, 140)
    for dx, height in ((-12, 10), (-4, 6), (4, 12), (11, 5)):
        c.rect(x + dx, y + 8 - height, x + dx + 4, y + 8, stone)
        c.rect(x + dx, y + 8 - height, x + dx + 4, y + 9 - height, shade(stone, 1.2))
    c.rect(x - 14, y + 8, x + 16, y + 10, shade(stone, 0.8))


TOWNS = {"fort": draw_fort, "ruin": draw_ruin, "village": draw_village}


# ---------------------------------------------------------------- sounds

SOUND_RATE = 22050
MUSIC_RATE = 11025
COMMON_SOUNDS = {"なんだ？.wav": "what", "攻撃.wav": "strike", "死亡！.wav": "death"}
SOUND_WORDS = [("crash", "crash"), ("bite", "bite"), ("fire", "whoosh"), ("quake", "rumble"), ("heal", "chime"),
               ("poison", "bubbles")]


def write_wave(path, samples, rate, width):
    """Writes mono samples (-1..1) as 16-bit or, for width 1, 8-bit WAV."""
    if width == 2:
        frames = b"".join(struct.pack("<h", int(32000 * max(-1.0, min(1.0, v)))) for v in samples)
    else:
        frames = bytes(int(128 + 120 * max(-1.0, min(1.0, v))) for v in samples)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(width)
        out.setframerate(rate)
        out.writeframes(frames)


def normalise(samples, peak=0.85):
    top = max(abs(v) for v in samples) or 1
    return [peak * v / top for v in samples]


def envelope(i, count, attack, release):
    return min(1.0, i / max(1, attack), (count - i) / max(1, release))


def sweep(seconds, start, end, wave_shape=math.sin, volume=0.6):
    """A tone gliding from start to end Hz, fading out."""
    count, phase, out = int(seconds * SOUND_RATE), 0.0, []
    for i in range(count):
        phase += 2 * math.pi * (start + (end - start) * i / count) / SOUND_RATE
        out.append(volume * wave_shape(phase) * envelope(i, count, 60, count * 0.6))
    return out


def noise(seconds, smoothing, volume, decay, seed=1):
    """Noise through a one-pole low-pass (smoothing near 1 is dull), fading by the decay curve."""
    rng, count, level, out = random.Random(seed), int(seconds * SOUND_RATE), 0.0, []
    for i in range(count):
        level += (1 - smoothing) * (rng.uniform(-1, 1) - level)
        out.append(volume * level * decay(i / count))
    return out


def square(phase):
    return 1.0 if math.sin(phase) >= 0 else -1.0


def overlay(*parts, at=None):
    """Adds sound parts together, each starting at its offset in samples."""
    at = at or [0] * len(parts)
    out = [0.0] * max(offset + len(part) for offset, part in zip(at, parts))
    for offset, part in zip(at, parts):
        for i, v in enumerate(part):
            out[offset + i] += v
    return out


def make_sound(kind, seed):
    ms = SOUND_RATE // 1000
    if kind == "what":
        return overlay(sweep(0.12, 520, 560, square, 0.25), sweep(0.22, 560, 900, square, 0.25), at=[0, 140 * ms])
    if kind == "strike":
        return overlay(noise(0.18, 0.3, 0.9, lambda t: (1 - t) ** 3), sweep(0.16, 180, 60, math.sin, 0.8))
    if kind == "death":
        return overlay(sweep(0.7, 480, 110, lambda p: 0.6 * square(p) + 0.4 * math.sin(3 * p), 0.35),
                       noise(0.7, 0.9, 0.5, lambda t: 1 - t))
    if kind == "crash":
        return overlay(noise(0.45, 0.6, 1.2, lambda t: (1 - t) ** 2), sweep(0.3, 120, 40, math.sin, 0.9))
    if kind == "bite":
        snap = noise(0.05, 0.2, 0.9, lambda t: 1 - t)
        return overlay(snap, snap, at=[0, 120 * ms])
    if kind == "whoosh":
        return noise(0.6, 0.85, 2.5, lambda t: math.sin(math.pi * t) ** 2)
    if kind == "rumble":
        return noise(1.0, 0.985, 6.0, lambda t: (1 - t) * (0.7 + 0.3 * math.sin(t * 40)))
    if kind == "chime":
        notes = [523.25, 659.25, 783.99, 1046.5]
        return overlay(*[sweep(0.35, f, f, math.sin, 0.3) for f in notes], at=[k * 90 * ms for k in range(4)])
    if kind == "bubbles":
        rng = random.Random(seed)
        blips = [sweep(0.06, f, f * 1.8, math.sin, 0.35) for f in (rng.uniform(300, 700) for _ in range(8))]
        return overlay(*blips, at=[int(rng.uniform(0, 0.6) * SOUND_RATE) for _ in blips])
    base = 300 + seed % 500
    return sweep(0.3, base, base * 1.5, math.sin, 0.5)


def sound_kind(name):
    for word, kind in SOUND_WORDS:
        if word in name.lower():
            return kind
    return "tone"


# ---------------------------------------------------------------- music

# Each style: beats a minute, minor key, chords (scale steps of their roots, one a bar), lead wave, drums.
MUSIC_STYLES = {
    "theme": (104, False, [0, 5, 3, 4], "square", False),
    "area": (84, False, [0, 3, 0, 4], "triangle", False),
    "event": (72, True, [0, 5, 3, 4], "triangle", False),
    "battle": (138, True, [0, 5, 6, 4], "square", True),
    "master_battle": (150, True, [0, 3, 5, 4], "square", True),
    "decisive": (128, True, [0, 5, 2, 6], "square", True),
}
MAJOR = [0, 2, 4, 5, 7, 9, 11]
MINOR = [0, 2, 3, 5, 7, 8, 10]


def frequency(note):
    return 440.0 * 2 ** ((note - 69) / 12)


def voice(shape):
    if shape == "square":
        return lambda p: 0.6 * (1.0 if (p / (2 * math.pi)) % 1 < 0.5 else -1.0)
    return lambda p: 2 / math.pi * math.asin(math.sin(p))


def play_note(track, start, length, note, shape, volume):
    """Adds a note with a short attack and release; it ends inside its length, so loops join cleanly."""
    step, phase = 2 * math.pi * frequency(note) / MUSIC_RATE, 0.0
    wave_at = voice(shape)
    for i in range(length):
        phase += step
        track[start + i] += volume * wave_at(phase) * envelope(i, length, 40, min(length // 3, 400))


def play_drum(track, start, kind, rng):
    length = MUSIC_RATE // (8 if kind == "kick" else 14)
    phase = 0.0
    for i in range(min(length, len(track) - start)):
        fade = (1 - i / length) ** 2
        if kind == "kick":
            phase += 2 * math.pi * (110 - 70 * i / length) / MUSIC_RATE
            track[start + i] += 0.5 * math.sin(phase) * fade
        else:
            track[start + i] += 0.18 * rng.uniform(-1, 1) * fade


def compose(style, seed):
    """Four bars of melody over a bass and soft chords, looping without a gap."""
    tempo, minor, chords, lead, drums = MUSIC_STYLES[style]
    rng = random.Random(seed)
    scale = MINOR if minor else MAJOR
    key = 57 + seed % 7
    beat = int(MUSIC_RATE * 60 / tempo)
    track = [0.0] * (beat * 16)
    for bar, degree in enumerate(chords):
        bar_start = bar * 4 * beat
        chord = [key + scale[(degree + k) % 7] + 12 * ((degree + k) // 7) for k in (0, 2, 4)]
        bass_step = beat if drums else 2 * beat
        for b in range(0, 4 * beat, bass_step):
            play_note(track, bar_start + b, bass_step, chord[0] - 12, "triangle", 0.35)
        for note in chord:
            play_note(track, bar_start, 4 * beat, note, "triangle", 0.06)
        pitch = rng.choice(chord) + 12
        position = 0
        while position < 8:
            eighths = rng.choice([1, 1, 2, 2, 3, 4]) if not drums else rng.choice([1, 1, 1, 2, 2])
            eighths = min(eighths, 8 - position)
            if rng.random() > 0.15:
                play_note(track, bar_start + position * beat // 2, eighths * beat // 2, pitch, lead, 0.22)
            pitch = melody_step(pitch, chord, scale, key, rng)
            position += eighths
        if drums:
            for b in range(4):
                play_drum(track, bar_start + b * beat, "kick" if b % 2 == 0 else "snare", rng)
                play_drum(track, bar_start + b * beat + beat // 2, "hat", rng)
    return normalise(track)


def melody_step(pitch, chord, scale, key, rng):
    """The next melody note: a step along the scale, or a leap to a note of the chord."""
    if rng.random() < 0.35:
        return rng.choice(chord) + 12
    steps = sorted({key + 12 * octave + s for octave in (0, 1, 2) for s in scale})
    here = min(range(len(steps)), key=lambda i: abs(steps[i] - pitch))
    there = max(0, min(len(steps) - 1, here + rng.choice([-2, -1, -1, 1, 1, 2])))
    return max(key + 7, min(key + 28, steps[there]))


# ---------------------------------------------------------------- what to write, and where

def picture_works(scenario):
    """(path, writer) of every picture."""
    works = []
    colours = character_colours(scenario)
    for chara in scenario.characters:
        d = design_of(chara, colours[chara["id"]])
        works.append((scenario.place(chara["chip"], chara["folder"]), lambda p, d=d: draw_chip(d).save(p)))
        if chara["face"]:
            works.append((scenario.place(chara["face"], chara["folder"]), lambda p, d=d: draw_face(d).save(p, False)))
    for special in scenario.specials:
        if special["image"]:
            works.append((scenario.place(special["image"], special["folder"]),
                          lambda p, s=special: draw_effect(s).save(p)))
    for index, master in enumerate(scenario.masters):
        if master["flag"]:
            works.append((scenario.place(master["flag"], "Picture"),
                          lambda p, m=master, i=index: draw_flag(m["colour"], i % 4).save(p)))
    works.append((scenario.place(NEUTRAL_FLAG, "Picture"), lambda p: draw_flag((226, 224, 216), -1).save(p)))
    system = os.path.join(scenario.folder, "System")
    for name in COMMAND_DRAWINGS:
        works.append((os.path.join(system, "command_%s.png" % name), lambda p, n=name: draw_command(n).save(p)))
    for name in STATUS_CHIPS:
        works.append((os.path.join(system, "chip_%s.png" % name), lambda p, n=name: draw_status_chip(n).save(p)))
    works.append((scenario.place("BMAPCHAR.png", "Picture"), lambda p: draw_ground_sheet(scenario).save(p, False)))
    works.append((scenario.place("BMAPOBJ.png", "Picture"), lambda p: draw_object_sheet(scenario).save(p)))
    world = World(scenario)
    world.check_seeds()
    works.append((scenario.place(scenario.power_map, "Picture"), lambda p: draw_power_map(world).save(p, False)))
    works.append((scenario.place(scenario.field_map, "Picture"),
                  lambda p: draw_field_map(scenario, world).save(p, False)))
    return works


def sound_works(scenario):
    """(path, writer) of every sound effect and music."""
    works = []
    for name, kind in COMMON_SOUNDS.items():
        works.append((scenario.place(name, "MusicAndSound"),
                      lambda p, k=kind: write_wave(p, normalise(make_sound(k, 0)), SOUND_RATE, 2)))
    for special in scenario.specials:
        if special["sound"]:
            works.append((scenario.place(special["sound"], "MusicAndSound"),
                          lambda p, n=special["sound"]: write_wave(p, normalise(make_sound(sound_kind(n), crc(n))),
                                                                    SOUND_RATE, 2)))
    music = [(scenario.event_music, "event"), (scenario.decisive_music, "decisive")]
    for master in scenario.masters:
        music += zip(master["music"], ("theme", "battle", "master_battle"))
    music += [(area["music"], "area") for area in scenario.areas]
    for name, style in music:
        if name:
            works.append((scenario.place(name, "MusicAndSound"),
                          lambda p, n=name, s=style: write_wave(p, compose(s, crc(n)), MUSIC_RATE, 1)))
    return works


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("scenario", nargs="?", default=DEFAULT_SCENARIO, help="scenario folder (default: the sample)")
    args = parser.parse_args()
    scenario = Scenario(os.path.abspath(args.scenario))
    written = set()
    for path, writer in picture_works(scenario) + sound_works(scenario):
        if path in written:
            continue
        writer(path)
        written.add(path)
        print("wrote", os.path.relpath(path, ROOT))


if __name__ == "__main__":
    main()
