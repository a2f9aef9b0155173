"""The picture type every drawing works on, and the reader of the text
pixel maps kept beside it (a character a pixel, palette at the top)."""

MASK = (255, 0, 255)


class Picture:
    """A w x h grid of (r, g, b) pixels; drawing outside it is clipped."""

    def __init__(self, w, h, fill=MASK):
        self.w, self.h = w, h
        self.px = [fill] * (w * h)

    def get(self, x, y):
        return self.px[y * self.w + x]

    def set(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = colour

    def fill(self, x1, y1, x2, y2, colour):
        """Fills the rectangle between two corners, both included."""
        for y in range(y1, y2 + 1):
            for x in range(x1, x2 + 1):
                self.set(x, y, colour)

    def rect(self, x1, y1, x2, y2, colour):
        """Outlines the rectangle between two corners, both included."""
        for x in range(x1, x2 + 1):
            self.set(x, y1, colour)
            self.set(x, y2, colour)
        for y in range(y1, y2 + 1):
            self.set(x1, y, colour)
            self.set(x2, y, colour)

    def paste(self, src, x, y, masked=False):
        for sy in range(src.h):
            for sx in range(src.w):
                c = src.get(sx, sy)
                if not (masked and c == MASK):
                    self.set(x + sx, y + sy, c)

    def crop(self, x, y, w, h):
        out = Picture(w, h)
        for sy in range(h):
            out.px[sy * w:(sy + 1) * w] = self.px[(y + sy) * self.w + x:(y + sy) * self.w + x + w]
        return out

    def enlarged(self, n):
        out = Picture(self.w * n, self.h * n)
        for y in range(self.h):
            row = []
            for c in self.px[y * self.w:(y + 1) * self.w]:
                row.extend([c] * n)
            for k in range(n):
                out.px[(y * n + k) * out.w:(y * n + k + 1) * out.w] = row
        return out

    def recoloured(self, mapping):
        out = Picture(self.w, self.h)
        out.px = [mapping(c) for c in self.px]
        return out


class PixmapError(Exception):
    pass


def read_pixmaps(path):
    """Reads a file of 'palette' lines ('X name r g b') and 'picture NAME'
    blocks of equal-length rows; ';' starts a comment line. Returns the
    pictures by name, in file order, and the palette by colour name."""
    palette, names, pictures = {}, {}, {}
    current, rows, mode = None, [], None

    def finish(lineno):
        if current is None:
            return
        if not rows:
            raise PixmapError(f"{path}:{lineno}: picture '{current}' has no rows")
        w = len(rows[0][0])
        pic = Picture(w, len(rows))
        for y, (row, rowline) in enumerate(rows):
            if len(row) != w:
                raise PixmapError(f"{path}:{rowline}: row is {len(row)} wide, picture '{current}' is {w}")
            for x, ch in enumerate(row):
                if ch not in palette:
                    raise PixmapError(f"{path}:{rowline}: '{ch}' is not in the palette")
                pic.set(x, y, palette[ch])
        pictures[current] = pic

    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for lineno, line in enumerate(lines, 1):
        text = line.rstrip()
        if text.startswith(";"):
            continue
        if text == "palette":
            mode = "palette"
        elif text.startswith("picture "):
            finish(lineno)
            current, rows, mode = text.split()[1], [], "rows"
            if current in pictures:
                raise PixmapError(f"{path}:{lineno}: picture '{current}' drawn twice")
        elif not text:
            if mode == "rows":
                finish(lineno)
                current, rows = None, []
            mode = None
        elif mode == "palette":
            parts = text.split()
            if len(parts) != 5 or len(parts[0]) != 1:
                raise PixmapError(f"{path}:{lineno}: a palette line is 'X name r g b'")
            palette[parts[0]] = tuple(int(v) for v in parts[2:])
            names[parts[1]] = palette[parts[0]]
        elif mode == "rows":
            rows.append((text, lineno))
        else:
            raise PixmapError(f"{path}:{lineno}: unexpected line outside a picture")
    finish(len(lines))
    return pictures, names
