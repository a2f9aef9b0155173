#!/usr/bin/env python3
"""The committed pictures under bmp/: regenerated from tools/ they come out
byte for byte the same, and every file has the size and the cells the game
cuts from it at start-up."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BMP = os.path.join(ROOT, "bmp")
sys.path.insert(0, os.path.join(ROOT, "tools", "pictures"))
import city

MASK = (255, 0, 255)
STRIPS = (0, 2, 4, 5, 7, 11, 13)
SINGLES = (1, 3, 6, 8, 9, 10, 12)

# Every file: its size, and the cells (x, y, w, h) the game cuts from it.
SHEETS = {
    "font.bmp": ((143, 5), [(4 * i, 0, 3, 5) for i in range(36)]),
    "font2.bmp": ((143, 5), [(4 * i, 0, 3, 5) for i in range(36)]),
    "titlebuttons.bmp": ((72, 68), [(36 * i, 0, 36, 68) for i in range(2)]),
    "buttons.bmp": ((182, 52), [(13 * i, 0, 13, 52) for i in STRIPS]
                    + [(13 * i, 26, 13, 13) for i in SINGLES]
                    + [(78, 27, 13, 10)]),   # the polish flag, rows 1-10 of cell 6
    "xbtn.bmp": ((7, 28), [(0, 0, 7, 28)]),
    "inputimages.bmp": ((52, 13), [(13 * i, 0, 13, 13) for i in range(4)]),
    "cursor.bmp": ((5, 7), [(0, 0, 5, 7)]),
    "background.bmp": ((160, 120), [(0, 0, 160, 120)]),
    "titlescreen.bmp": ((160, 120), [(0, 0, 160, 120)]),
    "ghetto.bmp": ((17, 18), [(0, 0, 17, 18)]),
    "ghetto2.bmp": ((17, 18), [(0, 0, 17, 18)]),
}


def read_bmp(path):
    """Checks the headers of a 24-bit uncompressed BMP and returns its
    width, height and pixels as rows of (r, g, b), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hsize, w, h, planes, bpp, compression, image = struct.unpack_from("<IiiHHII", data, 14)
    stride = (w * 3 + 3) // 4 * 4
    problems = []
    if magic != b"BM" or hsize != 40 or planes != 1:
        problems.append("not a plain Windows BMP")
    if bpp != 24 or compression != 0:
        problems.append(f"{bpp} bits, compression {compression}; want 24 bits uncompressed")
    if h <= 0:
        problems.append("rows not stored bottom-up")
    if size != len(data) or offset != 54 or len(data) != 54 + stride * abs(h) or image != stride * abs(h):
        problems.append("sizes in the headers disagree with the file")
    if problems:
        raise AssertionError(f"{os.path.basename(path)}: " + "; ".join(problems))
    rows = []
    for y in range(h - 1, -1, -1):
        row = data[54 + y * stride:54 + y * stride + w * 3]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, w * 3, 3)])
    return w, h, rows


def cell(rows, x, y, w, h):
    return tuple(tuple(r[x:x + w]) for r in rows[y:y + h])


class Pictures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pics = {name: read_bmp(os.path.join(BMP, name)) for name in SHEETS}

    def test_regenerated_files_are_identical(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, os.path.join(ROOT, "tools", "make_pictures.py"), "--out", out], check=True)
            made = sorted(os.listdir(os.path.join(out, "bmp")))
            self.assertEqual(made, sorted(SHEETS))
            for name in made:
                with open(os.path.join(out, "bmp", name), "rb") as a, open(os.path.join(BMP, name), "rb") as b:
                    self.assertTrue(a.read() == b.read(), f"{name} differs from what tools/make_pictures.py draws")

    def test_sizes_and_cells(self):
        for name, ((sw, sh), cells) in SHEETS.items():
            w, h, _ = self.pics[name]
            self.assertEqual((w, h), (sw, sh), name)
            for x, y, cw, ch in cells:
                self.assertTrue(0 <= x and x + cw <= w and 0 <= y and y + ch <= h,
                                f"{name}: cell {cw}x{ch} at ({x}, {y}) leaves the sheet")

    def test_fonts_tell_every_glyph_apart(self):
        shapes = {}
        for name in ("font.bmp", "font2.bmp"):
            _, _, rows = self.pics[name]
            glyphs = [cell(rows, 4 * i, 0, 3, 5) for i in range(36)]
            shape = [tuple(tuple(p != MASK for p in r) for r in g) for g in glyphs]
            self.assertEqual(len(set(shape)), 36, f"{name}: two glyphs look alike")
            self.assertTrue(all(any(any(r) for r in s) for s in shape), f"{name}: an empty glyph")
            self.assertTrue(all(p == MASK for r in rows for x, p in enumerate(r) if x % 4 == 3),
                            f"{name}: ink in the gap between glyphs")
            shapes[name] = shape
        self.assertEqual(shapes["font.bmp"], shapes["font2.bmp"], "the red font has other glyphs")

    def test_button_frames_differ(self):
        strips = [("buttons.bmp", 13 * i, 13, 13) for i in STRIPS]
        strips += [("titlebuttons.bmp", 36 * i, 36, 17) for i in range(2)] + [("xbtn.bmp", 0, 7, 7)]
        for name, x, w, h in strips:
            _, _, rows = self.pics[name]
            frames = [cell(rows, x, k * h, w, h) for k in range(4)]
            self.assertEqual(len(set(frames)), 4, f"{name}: strip at x {x} repeats a frame")
            inner = [tuple(r[1:-1] for r in f[1:-1]) for f in frames]
            self.assertEqual(len(set(inner)), 4, f"{name}: strip at x {x} differs only in its ring")

    def test_cursor_points_from_its_top_left(self):
        _, _, rows = self.pics["cursor.bmp"]
        self.assertNotEqual(rows[0][0], MASK, "the hot spot pixel is transparent")
        self.assertIn(MASK, [p for r in rows for p in r])

    def test_overlays_fit_the_map(self):
        _, _, bg = self.pics["background.bmp"]
        place = cell(bg, city.QUARTER_X, city.QUARTER_Y, 17, 18)
        quarter = tuple(map(tuple, self.pics["ghetto2.bmp"][2]))
        walled = tuple(map(tuple, self.pics["ghetto.bmp"][2]))
        self.assertEqual(len({place, quarter, walled}), 3, "an overlay shows nothing new")

    def test_fires_fall_on_built_up_blocks(self):
        kind = city.plan()
        for x1, y1, x2, y2 in ((73, 18, 102, 44), (72, 8, 113, 16), (106, 18, 129, 42), (89, 47, 127, 61)):
            ground = [kind[x, y] for x in range(x1, x2) for y in range(y1, y2)]
            self.assertNotIn("water", ground)
            self.assertNotIn("park", ground)
            self.assertGreater(ground.count("block") / len(ground), 0.7, f"fire box {x1},{y1} is mostly street")


if __name__ == "__main__":
    unittest.main()
