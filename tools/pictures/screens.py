"""The two whole-screen pictures: the game screen's background (panel,
fields, button places, bar and slider troughs, and the city map) and the
title picture with the city's name, its years and its skyline."""

from canvas import Picture
from city import draw_map

PANEL = (92, 86, 74)
PANEL_LINE = (108, 101, 88)
GROOVE = (44, 40, 34)
TROUGH = (56, 52, 45)
TICK = (88, 82, 70)
FIELD = (226, 218, 196)

PAPER = (206, 198, 174)
PAPER_DARK = (188, 178, 154)
INK = (28, 24, 20)
RULE = (112, 102, 88)
SKYLINE = (72, 66, 60)
SMOKE = (150, 144, 134)
WATER = (176, 172, 160)

# Places of the game screen's widgets (left, top, width, height).
QUIT = (7, 2, 7, 7)
DATE = (17, 2, 25, 7)
POLICY = [(x, y, 13, 13) for y in (11, 25) for x in (4, 18, 32)]
BARS = [(4, 40, 41, 13), (4, 54, 41, 10), (4, 65, 41, 13), (4, 79, 41, 13), (4, 93, 41, 13)]
SLIDERS = [(53, 79, 50, 13), (106, 79, 50, 13), (53, 93, 50, 13), (106, 93, 50, 13)]
STATUS = (4, 110, 154, 7)
TITLE_BUTTONS = [(62, 64, 36, 17), (62, 85, 36, 17)]


def sunk_field(pic, place, colour):
    """A field set into the panel: a groove round it, the field inside."""
    x, y, w, h = place
    pic.rect(x - 1, y - 1, x + w, y + h, GROOVE)
    pic.fill(x, y, x + w - 1, y + h - 1, colour)


def background():
    pic = Picture(160, 120, PANEL)
    # A faint rule parts the policies from the bars and the map's foot
    # from the sliders, as on a printed form.
    pic.fill(2, 38, 46, 38, PANEL_LINE)
    pic.fill(51, 77, 157, 77, PANEL_LINE)
    sunk_field(pic, QUIT, GROOVE)
    sunk_field(pic, DATE, FIELD)
    # A bevelled button leaves its outer ring to the background while it is
    # up, so the ring drawn here matches the one in its frames.
    for x, y, w, h in POLICY:
        pic.fill(x, y, x + w - 1, y + h - 1, TROUGH)
        pic.rect(x, y, x + w - 1, y + h - 1, GROOVE)
    # Bars and sliders fill only their value's length: the rest shows this.
    for x, y, w, h in BARS:
        pic.fill(x, y, x + w - 1, y + h - 1, TROUGH)
    for x, y, w, h in SLIDERS:
        pic.fill(x, y, x + w - 1, y + h - 1, TROUGH)
        for step in range(5):
            tx = x + 13 + step * 9
            pic.set(tx, y + 2, TICK)
            pic.set(tx, y + h - 3, TICK)
    sunk_field(pic, STATUS, FIELD)
    draw_map(pic)
    return pic


def text_width(text):
    return 4 * len(text) - 1


def draw_text(pic, glyphs, text, x, y):
    """The game's own text rule: 4 pixels a character, spaces left empty."""
    for i, ch in enumerate(text):
        if ch != " ":
            pic.paste(glyphs[ch], x + 4 * i, y, masked=True)


def skyline(pic, ground):
    """Roofs, towers and chimneys of the city, as a dark silhouette."""
    # (left, width, height) of the plain houses, left to right.
    houses = [(6, 7, 8), (13, 5, 11), (18, 8, 7), (36, 6, 9), (42, 7, 12),
              (49, 5, 8), (55, 4, 6), (58, 9, 10), (67, 6, 7), (73, 5, 9), (90, 7, 11),
              (97, 6, 8), (103, 8, 13), (111, 5, 9), (124, 4, 6), (127, 7, 10), (134, 6, 7),
              (140, 9, 11), (149, 5, 8)]
    for left, width, height in houses:
        pic.fill(left, ground - height, left + width - 1, ground, SKYLINE)
        for i in range(width // 2):   # a pitched roof
            pic.fill(left + i, ground - height - 1 - i if i < 2 else ground - height - 2,
                     left + width - 1 - i, ground - height - 1, SKYLINE)
    # The cathedral: nave, tower and spire.
    pic.fill(24, ground - 12, 35, ground, SKYLINE)
    pic.fill(27, ground - 21, 31, ground - 12, SKYLINE)
    pic.fill(28, ground - 25, 30, ground - 22, SKYLINE)
    pic.fill(29, ground - 29, 29, ground - 26, SKYLINE)
    # The town hall with its clock tower.
    pic.fill(78, ground - 10, 89, ground, SKYLINE)
    pic.fill(82, ground - 20, 85, ground - 10, SKYLINE)
    pic.fill(83, ground - 23, 84, ground - 21, SKYLINE)
    pic.set(83, ground - 17, PAPER_DARK)
    pic.set(84, ground - 17, PAPER_DARK)
    # A second church beyond the river.
    pic.fill(116, ground - 11, 124, ground, SKYLINE)
    pic.fill(119, ground - 19, 121, ground - 11, SKYLINE)
    pic.fill(120, ground - 24, 120, ground - 20, SKYLINE)
    # Factory chimneys, and the smoke drifting from them over the roofs.
    for cx, top in ((54, 18), (136, 17)):
        pic.fill(cx, ground - top, cx + 1, ground, SKYLINE)
        for k in range(14):
            sx, sy = cx + 1 + k, ground - top - 2 - k // 3
            if (k * 7) % 5 != 3:
                pic.set(sx, sy, SMOKE)
                if k % 2:
                    pic.set(sx, sy - 1, SMOKE)


def titlescreen(lettering, glyphs):
    pic = Picture(160, 120, PAPER)
    pic.rect(2, 2, 157, 117, INK)
    pic.rect(4, 4, 155, 115, RULE)
    word = "morvask"
    width = sum(lettering[c].w for c in word) + 2 * (len(word) - 1)
    x = (160 - width) // 2
    for c in word:
        pic.paste(lettering[c], x, 10, masked=True)
        x += lettering[c].w + 2
    pic.fill(36, 24, 123, 24, RULE)
    years_x = (160 - (text_width("1939") * 2 + 9)) // 2
    draw_text(pic, glyphs, "1939", years_x, 28)
    pic.fill(years_x + 18, 30, years_x + 20, 30, INK)
    draw_text(pic, glyphs, "1944", years_x + 24, 28)
    ground = 57
    skyline(pic, ground)
    # The river below the city, the roofs faintly mirrored in it.
    pic.fill(6, ground + 1, 153, ground + 3, WATER)
    for x in range(6, 154, 2):
        if pic.get(x, ground) == SKYLINE:
            pic.set(x, ground + 2, PAPER_DARK)
    pic.fill(36, 106, 123, 106, RULE)
    for x, y, w, h in TITLE_BUTTONS:
        pic.rect(x, y, x + w - 1, y + h - 1, GROOVE)
    return pic
