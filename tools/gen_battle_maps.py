#!/usr/bin/env python3
"""Writes one battle map file per area into a scenario's "Data" folder.

Every map has the castle in its middle, the city cells in the rings around it,
a ring of wall with a gate on either side, roads from the gates to the left
and right edges, patches of terrain and low hills, and a set of start points
for the attackers of each neighbouring area, at the edge that faces it (the
neighbours are spread round the map in the order given).

Object numbers: 1 city, 2 wall, 3 road, 4 castle. Terrain chips are taken
from --chips, whose first chip is the plain ground; every chip must have an
entry in the scenario's MapChip.txt.

Usage:
  gen_battle_maps.py
  gen_battle_maps.py OUTPUT_DIR AREA=NEIGHBOUR,NEIGHBOUR ... [options]
  gen_battle_maps.py OUTPUT_DIR --input areas.json [options]

With no arguments it rewrites the sample scenario's maps,
data/Scenario/Default/Data/BattleMap_*.xml, byte for byte: the areas and
their neighbours come from that folder's AreaData.xml, each area's chips and
city rings from SAMPLE_TERRAIN below, everything else from the defaults.

areas.json maps each area id to its neighbour ids:
  {"A01": ["A02", "A03"], "A02": ["A01"], "A03": ["A01"]}
The same seed and input always give the same files.
"""
import argparse
import json
import math
import os
import random
import sys
from xml.etree import ElementTree
from xml.sax.saxutils import quoteattr

CITY, WALL, ROAD, CASTLE = 1, 2, 3, 4
SIZE_MAX = 65
POINTS_MIN = 20
CELL = 32

SAMPLE_DATA = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                                            "data", "Scenario", "Default", "Data"))
# The sample's areas: terrain chips (plain ground first) and rings of city.
# By the sample's MapChip.txt, chips 2 and 3 are forest, 4 hill, 6 mountain, 7 water.
SAMPLE_TERRAIN = {
    "A01": ([0, 2, 4], 2),
    "A02": ([0, 2, 4], 2),
    "A03": ([0, 4, 6], 2),
    "A04": ([0, 6, 4], 1),
    "A05": ([0, 2, 3], 2),
    "A06": ([0, 7, 2], 2),
    "A07": ([0, 4, 2], 2),
}


def hex_distance(a, b):
    """Steps between two cells of a map whose odd rows are shifted right."""
    def cube(cell):
        x, y = cell
        return x - (y - (y & 1)) // 2, y
    aq, ar = cube(a)
    bq, br = cube(b)
    dq, dr = aq - bq, ar - br
    return (abs(dq) + abs(dr) + abs(dq + dr)) // 2


def is_whole_cell(x, y, width, height):
    """False for the half cells cut off at the side edges."""
    if not 0 <= y < height:
        return False
    return 1 <= x <= width - 1 if y % 2 == 0 else 0 <= x <= width - 2


def cell_centre(x, y):
    return CELL * x + CELL // 2 * (y % 2), CELL * y + CELL // 2


def cells(width, height):
    return [(x, y) for y in range(height) for x in range(width)]


def place_objects(width, height, city_rings):
    """Castle, cities, the wall with its two gates and the roads, as a grid of object numbers."""
    castle = (width // 2, height // 2)
    wall_ring = city_rings + 1
    objects = [[0] * width for _ in range(height)]
    for x, y in cells(width, height):
        d = hex_distance((x, y), castle)
        if d == 0:
            objects[y][x] = CASTLE
        elif d <= city_rings:
            objects[y][x] = CITY
        elif y == castle[1] and d >= wall_ring:
            objects[y][x] = ROAD
        elif d == wall_ring:
            objects[y][x] = WALL
    return objects


def blob_cells(rng, width, height, count, radius_max):
    """Cells of a few round patches at random places."""
    found = set()
    for _ in range(count):
        centre = (rng.randrange(width), rng.randrange(height))
        radius = rng.randint(1, radius_max)
        found.update(c for c in cells(width, height) if hex_distance(c, centre) <= radius)
    return found


def place_terrain(rng, width, height, chips, objects):
    """Plain ground with patches of the other chips; objects stand on plain ground."""
    grid = [[chips[0]] * width for _ in range(height)]
    patches = max(1, width * height // 60)
    for chip in chips[1:]:
        for x, y in blob_cells(rng, width, height, patches, 2):
            if objects[y][x] == 0:
                grid[y][x] = chip
    return grid


def place_heights(rng, width, height, objects):
    """Low hills, away from the castle's cities and walls."""
    grid = [[0] * width for _ in range(height)]
    hills = [(rng.randrange(width), rng.randrange(height)) for _ in range(max(1, width * height // 80))]
    for x, y in cells(width, height):
        if objects[y][x] in (0, ROAD):
            grid[y][x] = max(0, max(2 - hex_distance((x, y), h) for h in hills))
    return grid


def edge_target(index, count, width, height):
    """The pixel on the map's border that neighbour index of count faces; the first faces left."""
    half_w, half_h = (CELL * width - CELL // 2) / 2, CELL * height / 2
    angle = math.pi + 2 * math.pi * index / count
    dx, dy = math.cos(angle), math.sin(angle)
    reach = min(half_w / abs(dx) if abs(dx) > 1e-9 else math.inf,
                half_h / abs(dy) if abs(dy) > 1e-9 else math.inf)
    return half_w + dx * reach, half_h + dy * reach


def start_points(neighbours, width, height, objects, per_area):
    """per_area free whole cells nearest the border point each neighbour faces."""
    free = [c for c in cells(width, height) if is_whole_cell(*c, width, height) and objects[c[1]][c[0]] == 0]
    if len(free) < per_area:
        raise ValueError(f"only {len(free)} free cells for {per_area} start points")
    sets = []
    for i, neighbour in enumerate(neighbours):
        tx, ty = edge_target(i, len(neighbours), width, height)

        def away(c):
            px, py = cell_centre(*c)
            return (px - tx) ** 2 + (py - ty) ** 2, c[1], c[0]
        sets.append((neighbour, sorted(free, key=away)[:per_area]))
    return sets


def count_objects(objects, number):
    return sum(row.count(number) for row in objects)


def render(width, height, layers, point_sets, objects):
    """The battle map file as text."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             f'<BattleMap Width="{width}" Height="{height}" City="{count_objects(objects, CITY)}"'
             f' Wall="{count_objects(objects, WALL)}" Road="{count_objects(objects, ROAD)}">']
    for name, grid in layers:
        lines.append(f"\t<{name}>")
        lines.extend(f"\t\t<L{y}>{','.join(map(str, row))}</L{y}>" for y, row in enumerate(grid))
        lines.append(f"\t</{name}>")
    lines.append("\t<NeighborArea>")
    for neighbour, points in point_sets:
        lines.append(f"\t\t<Area id={quoteattr(neighbour)}>")
        lines.extend(f'\t\t\t<Point{i} x="{x}" y="{y}"/>' for i, (x, y) in enumerate(points))
        lines.append("\t\t</Area>")
    lines.append("\t</NeighborArea>")
    lines.append("</BattleMap>")
    return "\n".join(lines) + "\n"


def build_map(area, neighbours, options):
    rng = random.Random(f"{options.seed}:{area}")
    width, height = options.width, options.height
    objects = place_objects(width, height, options.city_rings)
    chips = place_terrain(rng, width, height, options.chips, objects)
    heights = place_heights(rng, width, height, objects)
    numbers = [[0] * width for _ in range(height)]
    layers = [("MapChip", chips), ("MapObject", objects), ("MapObjectNo", numbers), ("MapHeight", heights)]
    return render(width, height, layers, start_points(neighbours, width, height, objects, options.points), objects)


def parse_pair(text):
    area, sep, rest = text.partition("=")
    if not sep or not area:
        raise ValueError(f"expected AREA=NEIGHBOUR,...: {text!r}")
    return area, [n for n in rest.split(",") if n]


def read_areas(options):
    """The areas and neighbours from the command line and --input, each built with options."""
    pairs = [parse_pair(t) for t in options.areas]
    if options.input:
        with open(options.input, encoding="utf-8") as f:
            table = json.load(f)
        if not isinstance(table, dict) or not all(isinstance(v, list) for v in table.values()):
            raise ValueError(f"{options.input}: expected an object of area id -> list of neighbour ids")
        pairs.extend((str(k), [str(n) for n in v]) for k, v in table.items())
    check_areas(pairs)
    return [(area, neighbours, options) for area, neighbours in pairs]


def read_sample_areas(options):
    """The areas and neighbours of the AreaData.xml in options.output, each built with its SAMPLE_TERRAIN."""
    path = os.path.join(options.output, "AreaData.xml")
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError as e:
        raise ValueError(f"{path}: {e}") from e
    pairs = [(a.get("id", ""), [(n.text or "").strip() for n in a.findall("NeighborArea")])
             for a in root.findall("Area")]
    check_areas(pairs)
    ids = [area for area, _ in pairs]
    if sorted(ids) != sorted(SAMPLE_TERRAIN):
        raise ValueError(f"{path}: areas {', '.join(ids)} differ from SAMPLE_TERRAIN's {', '.join(SAMPLE_TERRAIN)}")
    return [(area, neighbours, argparse.Namespace(**{**vars(options), "chips": SAMPLE_TERRAIN[area][0],
                                                     "city_rings": SAMPLE_TERRAIN[area][1]}))
            for area, neighbours in pairs]


def check_areas(pairs):
    seen = set()
    for area, neighbours in pairs:
        if area in seen:
            raise ValueError(f"area {area} given twice")
        if area in neighbours or len(set(neighbours)) != len(neighbours):
            raise ValueError(f"area {area}: a neighbour is repeated or is the area itself")
        seen.add(area)
    if not pairs:
        raise ValueError("no areas given")


def parse_options(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0],
                                     epilog="With no arguments, rewrites the sample scenario's maps.")
    parser.add_argument("output", help="folder the map files are written to (made when missing)")
    parser.add_argument("areas", nargs="*", help="AREA=NEIGHBOUR,NEIGHBOUR,...")
    parser.add_argument("--input", help="JSON file mapping area ids to neighbour id lists")
    parser.add_argument("--width", type=int, default=16)
    parser.add_argument("--height", type=int, default=12)
    parser.add_argument("--points", type=int, default=24, help="start points per neighbour (at least 20)")
    parser.add_argument("--city-rings", type=int, default=2, help="rings of city around the castle")
    parser.add_argument("--chips", default="0,1,2", help="terrain chips, plain ground first")
    parser.add_argument("--seed", default="1")
    parser.add_argument("--name", default="BattleMap_{id}.xml", help="file name pattern")
    options = parser.parse_intermixed_args(argv)
    options.chips = [int(c) for c in options.chips.split(",")]
    for name in ("width", "height"):
        if not 1 <= getattr(options, name) <= SIZE_MAX:
            parser.error(f"--{name} must lie in 1..{SIZE_MAX}")
    if options.points < POINTS_MIN:
        parser.error(f"--points must be at least {POINTS_MIN}")
    if options.city_rings < 1 or min(options.chips) < 0:
        parser.error("--city-rings must be at least 1 and chips not negative")
    return options


def main(argv):
    options = parse_options(argv or [SAMPLE_DATA])
    try:
        areas = read_areas(options) if argv else read_sample_areas(options)
        files = [(options.name.format(id=area), build_map(area, neighbours, settings))
                 for area, neighbours, settings in areas]
    except (OSError, ValueError) as e:
        print(f"gen_battle_maps: {e}", file=sys.stderr)
        return 1
    os.makedirs(options.output, exist_ok=True)
    for name, text in files:
        path = os.path.join(options.output, name)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        print(f"wrote {path}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
