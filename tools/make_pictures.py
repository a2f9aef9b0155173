#!/usr/bin/env python3
"""Draws the game's eleven pictures (bmp/*.bmp) from the sources in
tools/pictures/, and on request a contact sheet of them as a PNG.

    python3 tools/make_pictures.py                # writes the repo's bmp/
    python3 tools/make_pictures.py --out DIR      # writes DIR/bmp/
    python3 tools/make_pictures.py --sheet F.png  # writes the contact sheet

The output depends on nothing but the sources: the same bytes every run."""

import argparse
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.join(HERE, "pictures")
sys.path.insert(0, SOURCES)

from canvas import MASK, Picture, PixmapError, read_pixmaps
import city
import screens

GLYPHS = "abcdefghijklmnopqrstuvwxyz0123456789"
FONT_INK = (28, 24, 20)
FONT_RED = (176, 28, 28)

# The strips of the button sheet and the single pictures of its third row.
STRIP_CELLS = {0: "wall", 2: "quarter", 4: "education", 5: "jewishbadge",
               7: "trains", 11: "polishbadge", 13: "ok"}
LABEL_CELLS = {1: "jews", 6: "poles", 9: "treasury", 10: "total", 12: "germans"}
SLIDER_LABELS = ["tax", "propaganda", "military", "immigration"]
TITLE_WORDS = ["new game", "exit"]

# How a button looks in each of its four states: ring, the bevel's top-left
# and bottom-right edges, face colour, and whether the face is pushed in.
UP, HELD, ON, DISABLED = range(4)
STATES = {
    UP: dict(ring=screens.GROOVE, lit=(232, 226, 208), shade=(100, 92, 78), face=(196, 186, 160), pushed=False),
    HELD: dict(ring=(10, 8, 6), lit=(84, 76, 64), shade=(214, 206, 186), face=(168, 158, 134), pushed=True),
    ON: dict(ring=(136, 40, 30), lit=(92, 60, 40), shade=(226, 200, 150), face=(208, 172, 108), pushed=True),
    DISABLED: dict(ring=(96, 92, 86), lit=(148, 144, 136), shade=(148, 144, 136), face=(160, 156, 148), pushed=False),
}


def luminance(c):
    return (299 * c[0] + 587 * c[1] + 114 * c[2]) // 1000


def frame(face, face_colour, state):
    """One state picture of a button: its face inside a one-pixel bevel
    inside a one-pixel ring (the ring shows only while held or on)."""
    s = STATES[state]
    w, h = face.w + 4, face.h + 4
    pic = Picture(w, h, s["face"])
    pic.rect(0, 0, w - 1, h - 1, s["ring"])
    pic.fill(1, 1, w - 2, 1, s["lit"])
    pic.fill(1, 1, 1, h - 2, s["lit"])
    pic.fill(2, h - 2, w - 2, h - 2, s["shade"])
    pic.fill(w - 2, 2, w - 2, h - 2, s["shade"])
    shift = 1 if s["pushed"] else 0
    grey = luminance(s["face"])
    for y in range(face.h - shift):
        for x in range(face.w - shift):
            c = face.get(x, y)
            if c == face_colour:
                c = s["face"]
            elif state == DISABLED:
                # Greyed: the drawing kept only as a faint shade of the face.
                v = max(0, min(255, grey + (luminance(c) - grey) * 2 // 5))
                c = (v, v, v - 6 if v >= 6 else 0)
            pic.set(2 + x + shift, 2 + y + shift, c)
    return pic


def strip(face, face_colour):
    """The four frames stacked from the top: up, held, on, disabled."""
    frames = [frame(face, face_colour, state) for state in (UP, HELD, ON, DISABLED)]
    pic = Picture(frames[0].w, frames[0].h * 4)
    for i, f in enumerate(frames):
        pic.paste(f, 0, i * f.h)
    return pic


def font_sheet(glyphs, ink):
    pic = Picture(4 * len(GLYPHS) - 1, 5)
    for i, ch in enumerate(GLYPHS):
        g = glyphs[ch].recoloured(lambda c: ink if c != MASK else MASK)
        pic.paste(g, 4 * i, 0)
    return pic


def title_face(glyphs, word, face_colour):
    face = Picture(32, 13, face_colour)
    screens.draw_text(face, glyphs, word, (face.w - screens.text_width(word)) // 2, 4)
    return face


def load_sources():
    src = {}
    for name in ("font", "faces", "labels", "cursor", "lettering"):
        src[name] = read_pixmaps(os.path.join(SOURCES, name + ".txt"))
    return src


def draw_all():
    """All eleven pictures, by file name."""
    src = load_sources()
    glyphs, _ = src["font"]
    faces, face_palette = src["faces"]
    labels, _ = src["labels"]
    face_colour = face_palette["face"]
    missing = [c for c in GLYPHS if c not in glyphs]
    if missing:
        raise PixmapError(f"font.txt lacks the glyphs {''.join(missing)}")

    buttons = Picture(13 * 14, 52)
    for i, name in STRIP_CELLS.items():
        buttons.paste(strip(faces[name], face_colour), 13 * i, 0)
    for i, name in LABEL_CELLS.items():
        buttons.paste(labels[name], 13 * i, 26)

    inputs = Picture(13 * 4, 13)
    for i, name in enumerate(SLIDER_LABELS):
        inputs.paste(labels[name], 13 * i, 0)

    title_buttons = Picture(72, 68)
    for i, word in enumerate(TITLE_WORDS):
        title_buttons.paste(strip(title_face(glyphs, word, face_colour), face_colour), 36 * i, 0)

    cursor = src["cursor"][0]["cursor"]
    background = screens.background()
    ghetto2, ghetto = city.quarter_overlays(background)
    return {
        "font.bmp": font_sheet(glyphs, FONT_INK),
        "font2.bmp": font_sheet(glyphs, FONT_RED),
        "titlebuttons.bmp": title_buttons,
        "buttons.bmp": buttons,
        "xbtn.bmp": strip(faces["quit"], face_colour),
        "inputimages.bmp": inputs,
        "cursor.bmp": cursor,
        "background.bmp": background,
        "titlescreen.bmp": screens.titlescreen(src["lettering"][0], glyphs),
        "ghetto.bmp": ghetto,
        "ghetto2.bmp": ghetto2,
    }


def bmp_bytes(pic):
    """24-bit uncompressed BMP, rows bottom-up, each padded to 4 bytes."""
    pad = b"\0" * ((-pic.w * 3) % 4)
    rows = []
    for y in range(pic.h - 1, -1, -1):
        row = bytearray()
        for r, g, b in pic.px[y * pic.w:(y + 1) * pic.w]:
            row += bytes((b, g, r))
        rows.append(bytes(row) + pad)
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, pic.w, pic.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def png_bytes(pic):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = bytearray()
    for y in range(pic.h):
        raw.append(0)
        for c in pic.px[y * pic.w:(y + 1) * pic.w]:
            raw += bytes(c)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", pic.w, pic.h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def write_pictures(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    for name, pic in draw_all().items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(bmp_bytes(pic))


# The contact sheet: the game's screens put together as the game draws them,
# then every picture and every frame four times enlarged.

BEIGE = (245, 233, 162)
PALE = (225, 248, 127)
BLACK, YELLOW, RED = (0, 0, 0), (255, 255, 0), (255, 0, 0)
FIRES = [(237, 28, 36), (255, 246, 127), (252, 167, 38), (238, 42, 36), (212, 49, 39)]
FIRE_BOXES = [(73, 18, 102, 44), (72, 8, 113, 16), (106, 18, 129, 42), (89, 47, 127, 61)]


def cut(pics):
    """The cells the game cuts from the sheets, by the widget that uses them."""
    b = pics["buttons.bmp"]
    cells = {i: b.crop(13 * i, 0, 13, 52) for i in STRIP_CELLS}
    cells.update({i: b.crop(13 * i, 26, 13, 13) for i in LABEL_CELLS})
    cells["poleflag"] = cells[6].crop(0, 1, 13, 10)
    return cells


def glyph_set(pics, name):
    sheet = pics[name]
    return {ch: sheet.crop(4 * i, 0, 3, 5) for i, ch in enumerate(GLYPHS)}


def draw_button(buf, strip_pic, x, y, w, h, state, whole=False):
    f = strip_pic.crop(0, state * h, w, h)
    if whole or state in (HELD, ON):
        buf.paste(f, x, y)
    else:
        buf.paste(f.crop(1, 1, w - 2, h - 2), x + 1, y + 1)


def draw_bar(buf, x, y, w, h, image, values):
    buf.paste(image.crop(0, 0, 13, h), x, y)
    buf.rect(x, y, x + w - 1, y + h - 1, BLACK)
    lw = 13
    if len(values) == 1:
        n = int(values[0] * 28 + 0.5)
        if n > 0:
            buf.fill(x + lw, y + 1, x + lw + n - 1, y + h - 2, YELLOW)
            buf.fill(x + lw + n - 1, y + 1, x + lw + n - 1, y + h - 2, BLACK)
        return
    a = int(values[0] * 27 + 0.5)
    b = a + int(values[1] * 26 + 0.5)
    if a > 1:
        buf.fill(x + lw, y + 1, x + lw + a - 2, y + h - 2, RED)
        buf.fill(x + lw + a - 1, y + 1, x + lw + a - 1, y + h - 2, BLACK)
    if b > a:
        buf.fill(x + lw + a - 1, y, x + lw + b, y + h - 1, YELLOW)
        buf.rect(x + lw + a - 1, y, x + lw + b, y + h - 1, BLACK)


def draw_slider(buf, x, y, w, h, image, fill):
    buf.rect(x, y, x + w - 1, y + h - 1, BLACK)
    buf.paste(image, x, y)
    buf.fill(x + 13, y + 1, x + 13 + fill - 1, y + h - 2, YELLOW)
    buf.fill(x + 13 + fill - 1, y + 1, x + 13 + fill - 1, y + h - 2, BLACK)


def game_screen(pics, states, bar_values, fills, status, date, walled=None, fires=0, message=None):
    cells = cut(pics)
    font = glyph_set(pics, "font.bmp")
    inputs = pics["inputimages.bmp"]
    buf = pics["background.bmp"].crop(0, 0, 160, 120)
    draw_button(buf, pics["xbtn.bmp"], 7, 2, 7, 7, UP, whole=True)
    for (x, y, w, h), cell, state in zip(screens.POLICY, (4, 2, 0, 5, 11, 7), states):
        draw_button(buf, cells[cell], x, y, w, h, state)
    for (x, y, w, h), image, values in zip(screens.BARS, (cells[10], cells["poleflag"], cells[1], cells[12], cells[9]), bar_values):
        draw_bar(buf, x, y, w, h, image, values)
    for i, ((x, y, w, h), fill) in enumerate(zip(screens.SLIDERS, fills)):
        draw_slider(buf, x, y, w, h, inputs.crop(13 * i, 0, 13, 13), fill)
    screens.draw_text(buf, font, status, 5, 111)
    screens.draw_text(buf, font, date[0], 18, 3)
    screens.draw_text(buf, font, date[1], 34, 3)
    if walled is not None:
        buf.paste(pics["ghetto.bmp" if walled else "ghetto2.bmp"], 82, 22)
    seed = 12345
    for i in range(fires):
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        x1, y1, x2, y2 = FIRE_BOXES[seed % 4]
        buf.set(x1 + (seed >> 8) % (x2 - x1), y1 + (seed >> 16) % (y2 - y1), FIRES[i % 5])
    if message:
        buf.fill(1, 39, 158, 71, PALE)
        screens.draw_text(buf, font, message, 5, 42)
        draw_button(buf, cells[13], 73, 57, 13, 13, UP)
    return buf


def text_screen(pics, lines):
    buf = Picture(160, 120, BEIGE)
    draw_button(buf, cut(pics)[13], 73, 93, 13, 13, UP)
    font = glyph_set(pics, "font.bmp")
    for i, line in enumerate(lines):
        screens.draw_text(buf, font, line, 5, 30 + 20 * i)
    return buf


def title_composite(pics):
    buf = pics["titlescreen.bmp"].crop(0, 0, 160, 120)
    sheet = pics["titlebuttons.bmp"]
    for i, (x, y, w, h) in enumerate(screens.TITLE_BUTTONS):
        draw_button(buf, sheet.crop(36 * i, 0, 36, 68), x, y, w, h, UP)
    return buf


def glyph_samples(pics):
    """Every glyph, in both fonts, on each colour the game writes on."""
    text = GLYPHS[:26] + " " + GLYPHS[26:]
    width = screens.text_width(text) + 4
    grounds = [screens.FIELD, BEIGE, PALE]
    buf = Picture(width, 8 * len(grounds) * 2, (0, 0, 0))
    for k, name in enumerate(("font.bmp", "font2.bmp")):
        for j, ground in enumerate(grounds):
            y = 8 * (k * len(grounds) + j)
            buf.fill(0, y, width - 1, y + 7, ground)
            screens.draw_text(buf, glyph_set(pics, name), text, 2, y + 1)
    return buf


def contact_sheet(pics):
    items = [
        ("game screen at the start", game_screen(
            pics, [UP] * 6, [[0.9], [0.0, 0.6], [0.0, 0.25], [0.05], [0.7]], [10] * 4,
            "establish jewish quarter", ("oct", "39"))),
        ("game screen later with a message", game_screen(
            pics, [ON, ON, ON, HELD, UP, ON], [[0.7], [0.1, 0.45], [0.15, 0.02], [0.12], [0.3]], [30, 5, 37, 18],
            "ok button", ("mar", "42"), walled=True, fires=30, message="construction of the wall begun")),
        ("title screen", title_composite(pics)),
        ("preface", text_screen(pics, ["morvask has finally fallen", "we have established a new government", "rule it well"])),
    ]
    items = [(c, p.enlarged(4)) for c, p in items]
    items.append(("fonts on the status line and date field beige and pale", glyph_samples(pics).enlarged(4)))
    for name in pics:
        items.append((name.replace(".bmp", " bmp"), pics[name].enlarged(4)))
    for walled in (None, False, True):
        around = game_screen(pics, [UP] * 6, [[0]] * 5, [0] * 4, "", ("oct", "39"), walled=walled)
        items.append(("quarter " + {None: "not yet", False: "established", True: "walled"}[walled],
                      around.crop(70, 10, 41, 42).enlarged(8)))
    return layout(items, glyph_set(pics, "font.bmp"))


def layout(items, font, width=1344, gap=16):
    """Places the captioned pictures in rows, left to right."""
    placed, x, y, row_h = [], gap, gap, 0
    for caption, pic in items:
        if x > gap and x + pic.w > width - gap:
            x, y, row_h = gap, y + row_h + gap, 0
        placed.append((caption, pic, x, y))
        x += max(pic.w, 8 * len(caption)) + gap
        row_h = max(row_h, pic.h + 14)
    sheet = Picture(width, y + row_h + gap, (150, 150, 150))
    for caption, pic, x, y in placed:
        words = "".join(c if c in font or c == " " else " " for c in caption)
        label = Picture(screens.text_width(words) + 2, 7, (150, 150, 150))
        screens.draw_text(label, font, words, 1, 1)
        sheet.paste(label.enlarged(2), x, y)
        sheet.paste(pic, x, y + 14)
    return sheet


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", help="write DIR/bmp/*.bmp instead of the repository's bmp/")
    parser.add_argument("--sheet", help="write the contact sheet to this PNG file instead")
    args = parser.parse_args()
    try:
        if args.sheet:
            with open(args.sheet, "wb") as f:
                f.write(png_bytes(contact_sheet(draw_all())))
        else:
            root = args.out if args.out else os.path.dirname(HERE)
            write_pictures(os.path.join(root, "bmp"))
    except (OSError, PixmapError) as e:
        sys.exit(f"make_pictures: {e}")


if __name__ == "__main__":
    main()
