"""The city map of the game screen, drawn like a period survey plan, and the
quarter's two overlays cut from it. The map fills the map view's rectangle
of the background; every fire box of the game lies on its built-up blocks."""

from canvas import Picture

MAP_X, MAP_Y, MAP_W, MAP_H = 49, 0, 111, 77
QUARTER_X, QUARTER_Y, QUARTER_W, QUARTER_H = 82, 22, 17, 18

INK = (40, 34, 30)
STREET = (230, 222, 200)
AVENUE = (240, 234, 216)
BLOCK = (172, 144, 124)
BLOCK_EDGE = (132, 104, 88)
COURT = (204, 188, 166)
WATER = (128, 148, 156)
WATER_LINE = (112, 132, 142)
BANK = (84, 98, 106)
PARK = (166, 172, 132)
TREE = (116, 128, 92)
RAIL_BED = (214, 206, 184)

# The quarter's blocks, shown darker and hatched once it is established.
QUARTER_BLOCK = (112, 88, 78)
QUARTER_HATCH = (84, 64, 58)
QUARTER_EDGE = (70, 52, 46)
QUARTER_COURT = (150, 130, 118)
QUARTER_STREET = (196, 186, 164)
WALL = (92, 36, 30)
WALL_JOINT = (132, 66, 50)

# Streets in buffer coordinates: (x1, y1, x2, y2) of each straight piece,
# both ends included. The streets round the quarter (x 81 and 99, y 21 and
# 40) run along its place, so its walls can follow them.
AVENUES = [
    (66, 0, 67, 76), (107, 0, 108, 76),          # north-south
    (49, 16, 131, 17), (49, 46, 131, 47),        # east-west, over the bridges
]
STREETS = [
    (53, 0, 53, 45), (60, 17, 60, 66), (72, 0, 72, 66), (81, 0, 81, 66),
    (90, 0, 90, 45), (99, 0, 99, 66), (115, 0, 115, 66), (122, 17, 122, 66),
    (130, 0, 130, 76),                          # the embankment
    (49, 4, 131, 4), (66, 10, 131, 10), (66, 21, 131, 21), (72, 27, 107, 27),
    (81, 33, 131, 33), (49, 40, 131, 40), (66, 53, 131, 53), (49, 61, 131, 61),
    (49, 72, 131, 72), (86, 47, 86, 61), (94, 53, 94, 61),
    (118, 17, 118, 21), (126, 40, 126, 46), (76, 4, 76, 10), (95, 4, 95, 10),
]
# A diagonal road leaves the west edge towards the avenue.
DIAGONAL = [(49 + i, 36 - i) for i in range(18)]
PARKS = [(50, 48, 65, 60)]
RAIL_Y = 67
YARD = [(74, 69, 104), (78, 70, 100)]   # sidings: y, x from, x to
BRIDGE_ROWS = [16, 17, 46, 47, RAIL_Y]
# The river's middle at these rows, straight between them.
RIVER = [(0, 140), (20, 137), (40, 136), (56, 138), (76, 143)]
EAST_STREETS = [(150, 0, 150, 76), (132, 27, 159, 27), (132, 58, 159, 58)]


def river_middle(y):
    for (y1, x1), (y2, x2) in zip(RIVER, RIVER[1:]):
        if y1 <= y <= y2:
            return x1 + ((x2 - x1) * (y - y1) * 2 + (y2 - y1)) // (2 * (y2 - y1))
    raise ValueError(y)


def plan():
    """Returns the kind of ground at every pixel of the map, by (x, y)."""
    kind = {}
    for y in range(MAP_Y, MAP_Y + MAP_H):
        for x in range(MAP_X, MAP_X + MAP_W):
            kind[x, y] = "block"
    def line(x1, y1, x2, y2, what):
        for y in range(y1, y2 + 1):
            for x in range(x1, x2 + 1):
                if (x, y) in kind:
                    kind[x, y] = what
    for s in STREETS + EAST_STREETS:
        line(*s, "street")
    for x, y in DIAGONAL:
        line(x, y, x + 1, y, "street")
    for x1, y1, x2, y2 in PARKS:
        for y in range(y1, y2 + 1):
            for x in range(x1, x2 + 1):
                kind[x, y] = "park"
    for y in range(MAP_Y, MAP_Y + MAP_H):
        m = river_middle(y)
        for x in range(m - 3, m + 4):
            kind[x, y] = "bank" if x in (m - 3, m + 3) else "water"
        for x in (m - 4, m + 4):
            kind[x, y] = "street"
    for s in AVENUES:
        line(*s, "avenue")
    for x in range(MAP_X, MAP_X + MAP_W):
        kind[x, RAIL_Y] = "rail"
        kind[x, RAIL_Y + 1] = "railbed"
    for y, x1, x2 in YARD:
        line(x1, y, x2, y, "rail")
    return kind


def draw_map(pic):
    kind = plan()
    def open_within(x, y, r):
        return any(kind.get((x + dx, y + dy), "block") != "block"
                   for dx in range(-r, r + 1) for dy in range(-r, r + 1))
    for (x, y), k in kind.items():
        if k == "block":
            edge = any(kind.get((x + dx, y + dy), "block") != "block"
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            # Blocks are built round their edges; wide ones keep a yard.
            pic.set(x, y, BLOCK_EDGE if edge else BLOCK if open_within(x, y, 2) else COURT)
        elif k == "street":
            pic.set(x, y, STREET)
        elif k == "avenue":
            pic.set(x, y, AVENUE)
        elif k == "water":
            pic.set(x, y, WATER_LINE if (x * 3 + y) % 7 == 0 else WATER)
        elif k == "bank":
            pic.set(x, y, BANK)
        elif k == "park":
            pic.set(x, y, TREE if (x * 5 + y * 3) % 7 == 0 else PARK)
        elif k == "rail":
            pic.set(x, y, INK)
        elif k == "railbed":
            pic.set(x, y, INK if x % 3 == 0 else RAIL_BED)
    # Parapets where the avenues and the railway cross the water.
    for y in BRIDGE_ROWS:
        for x in range(MAP_X, MAP_X + MAP_W):
            for side in (y - 1, y + 1):
                if kind.get((x, side)) in ("water", "bank") and kind.get((x, y)) in ("avenue", "rail", "railbed"):
                    pic.set(x, side, INK)
    pic.rect(MAP_X, MAP_Y, MAP_X + MAP_W - 1, MAP_Y + MAP_H - 1, INK)


QUARTER_COLOURS = {
    BLOCK: QUARTER_BLOCK, BLOCK_EDGE: QUARTER_EDGE, COURT: QUARTER_COURT,
    STREET: QUARTER_STREET, AVENUE: QUARTER_STREET,
}


def quarter_overlays(background):
    """The quarter (its blocks darkened and hatched) and the same quarter
    shut in by its wall, both cut from the map so they sit on it exactly."""
    place = background.crop(QUARTER_X, QUARTER_Y, QUARTER_W, QUARTER_H)
    quarter = Picture(QUARTER_W, QUARTER_H)
    for y in range(QUARTER_H):
        for x in range(QUARTER_W):
            c = place.get(x, y)
            hatch = c == BLOCK and (x + y) % 3 == 0
            quarter.set(x, y, QUARTER_HATCH if hatch else QUARTER_COLOURS.get(c, c))
    walled = quarter.crop(0, 0, QUARTER_W, QUARTER_H)
    for x in range(QUARTER_W):
        for y in (0, QUARTER_H - 1):
            walled.set(x, y, WALL_JOINT if x % 4 == 2 else WALL)
    for y in range(QUARTER_H):
        for x in (0, QUARTER_W - 1):
            walled.set(x, y, WALL_JOINT if y % 4 == 2 else WALL)
    return quarter, walled
