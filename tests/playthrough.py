#!/usr/bin/env python3
"""Plays Morvask on a virtual 640x480 X display, as a player would, and checks
every step in the pixels of a screenshot.

    playthrough.py [--signals | --unshared | --only-client PRELOAD] GAME [SHOTDIR]

With --signals it plays only as far as each way of ending the program from
outside: a tap of ESC, SIGTERM on the title, with a box up and in a game, and
SIGQUIT (Ctrl-\\) on the title. With --unshared it plays into a game from an
IPC namespace of the game's own, where the display cannot attach the game's
shared memory, and ends it with ESC; it exits with 77, skipped, where the
system refuses such a namespace. With --only-client the game is the only
client of a server that ends when its last client leaves; PRELOAD, loaded in
front of the game, logs its connections to the server, and nothing else
connects until the game's start is over: the game must never have left the
server without one, and it plays to the title and ends with ESC.

Run from the folder that holds bmp/ (the game opens its pictures from there);
the expected pictures of text, the date and the screens are composed from the
same files. SHOTDIR, when given, receives a PNG of every checked step, and the
last screenshot of a failed step lands there too.

The display is 640x480, so the game's full-screen picture covers it exactly and
screen pixel (4x + 2, 4y + 2) is pixel (x, y) of the game's 160x120 picture.
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

MODE = next((a for a in sys.argv[1:] if a.startswith("--")), None)
ARGS = [a for a in sys.argv[1:] if not a.startswith("--")]
PRELOAD = os.path.abspath(ARGS.pop(0)) if MODE == "--only-client" else None
GAME = os.path.abspath(ARGS[0])
SHOTDIR = os.path.abspath(ARGS[1]) if len(ARGS) > 1 else None
MASK = (255, 0, 255)
BEIGE = (245, 233, 162)
PALE = (225, 248, 127)
YELLOW = (255, 255, 0)

MESSAGES = [
    "general government is established",
    "the jews have been successfully moved",
    "the poles have been successfully moved",
    "the jews have been eradicated",
    "the poles are being relocated",
    "we are running low on funds",
    "we have no money left",
    "we are being overthrown",
    "deportation has begun",
    "the students are rioting",
    "construction of the wall begun",
]
MONTHS = ["jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"]


class Failed(Exception):
    pass


# --- Pictures -------------------------------------------------------------

class Picture:
    def __init__(self, w, h, rgb):
        self.w, self.h, self.rgb = w, h, rgb

    def at(self, x, y):
        i = 3 * (y * self.w + x)
        return tuple(self.rgb[i:i + 3])


def read_ppm(data):
    # P6, width, height, maxval, one whitespace, then the pixels.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise Failed("convert gave no 8-bit PPM")
    w, h = int(fields[1]), int(fields[2])
    return Picture(w, h, data[at + 1:at + 1 + 3 * w * h])


def to_ppm(source, data=None):
    out = subprocess.run(["convert", source, "ppm:-"], input=data,
                         stdout=subprocess.PIPE, check=True).stdout
    return read_ppm(out)


def load(path):
    return to_ppm(path)


FONT = load("bmp/font.bmp")
CURSOR = load("bmp/cursor.bmp")
BACKGROUND = load("bmp/background.bmp")
TITLESCREEN = load("bmp/titlescreen.bmp")


def flat(colour):
    return lambda x, y: colour


def picture(p):
    return lambda x, y: p.at(x, y)


def glyph(c):
    if "a" <= c <= "z":
        return ord(c) - ord("a")
    if "0" <= c <= "9":
        return 26 + ord(c) - ord("0")
    return 0


def text_pixels(text, x, y, base):
    """What the 3x5 font leaves at each pixel of a line of text drawn over base."""
    want = {}
    for j, c in enumerate(text):
        for py in range(5):
            for px in range(4):
                at = (x + 4 * j + px, y + py)
                ink = FONT.at(4 * glyph(c) + px, py) if c != " " and px < 3 else MASK
                want[at] = base(*at) if ink == MASK else ink
    return want


def mismatches(shot, want):
    return sum(1 for (x, y), c in want.items() if shot.at(x, y) != c)


def shows_text(shot, text, x, y, base, cells=None):
    """The text is there, and nothing else in the cells after it."""
    return mismatches(shot, text_pixels(text.ljust(cells or len(text)), x, y, base)) == 0


# --- The display, the game and the player ---------------------------------

class Session:
    def __init__(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="morvask-play-")
        # The silent sound driver: no sound card, so no message box that waits.
        with open(os.path.join(self.tmp.name, "allegro.cfg"), "w") as f:
            f.write("[sound]\ndigi_card = 0\nmidi_card = 0\n")
        # The server says its number once it takes connections. Without
        # -noreset it resets whenever its last client leaves, and drops a game
        # that connects meanwhile: a game starts while screenshots come and go.
        # The only-client run asks for -terminate instead, to meet that gap.
        server = "-terminate" if MODE == "--only-client" else "-noreset"
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), server, "-screen", "0", "640x480x24",
             "-nolisten", "tcp"],
            pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as r:
            number = r.readline().strip()
        if not number:
            raise Failed("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number.decode(), ALLEGRO=self.tmp.name)
        self.env.pop("XAUTHORITY", None)
        self.game = None
        self.last = None
        self.step = 0

    def start_game(self, wrapper=(), **env):
        self.game = subprocess.Popen([*wrapper, GAME], env=dict(self.env, **env))

    def close(self):
        if self.game and self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        self.tmp.cleanup()

    def x(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True)

    def shot(self):
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env,
                             stdout=subprocess.PIPE, check=True).stdout
        screen = to_ppm("xwd:-", xwd)
        self.last = xwd
        if (screen.w, screen.h) != (640, 480):
            raise Failed("the screen is %dx%d" % (screen.w, screen.h))
        rgb = bytearray()
        for y in range(120):
            for x in range(160):
                i = 3 * ((4 * y + 2) * 640 + 4 * x + 2)
                rgb += screen.rgb[i:i + 3]
        return Picture(160, 120, bytes(rgb))

    def save(self, name, xwd=None):
        if SHOTDIR:
            os.makedirs(SHOTDIR, exist_ok=True)
            self.step += 1
            path = os.path.join(SHOTDIR, "%02d-%s.png" % (self.step, name))
            subprocess.run(["convert", "xwd:-", path], input=xwd or self.last, check=True)

    def wait_for(self, what, seen, timeout=10.0):
        """Takes screenshots until seen(shot) holds; fails after the timeout."""
        end = time.monotonic() + timeout
        while True:
            if self.game.poll() is not None:
                raise Failed("the game ended (status %d) while waiting for: %s"
                             % (self.game.returncode, what))
            s = self.shot()
            if seen(s):
                print("seen:", what, flush=True)
                self.save(what.replace(" ", "-")[:40])
                return s
            if time.monotonic() > end:
                self.save("FAILED")
                raise Failed("not seen within %.0f s: %s" % (timeout, what))
            time.sleep(0.05)

    # The pointer and the left button, at logical positions.
    def move(self, x, y):
        """Moves the pointer and looks until the game draws it there.

        Right after a screen has placed the pointer, the library takes the
        next motions as relative ones, so a player looks where the pointer
        went and moves again."""
        for attempt in range(40):
            self.x("mousemove", 4 * x + 2 + (attempt % 2) * 8, 4 * y + 2)
            time.sleep(0.03)
            self.x("mousemove", 4 * x + 2, 4 * y + 2)
            time.sleep(0.05)
            if pointer_at(self.shot(), x, y):
                return
        self.save("FAILED")
        raise Failed("the pointer never reached (%d, %d)" % (x, y))

    def click(self, x, y):
        self.move(x, y)
        self.x("mousedown", 1)
        time.sleep(0.1)
        self.x("mouseup", 1)
        time.sleep(0.05)

    def quick_click(self, x, y):
        # Press and release back to back: shorter than any tick.
        self.move(x, y)
        self.x("click", 1)

    def drag(self, x1, y, x2):
        self.move(x1, y)
        self.x("mousedown", 1)
        time.sleep(0.1)
        step = 1 if x2 > x1 else -1
        for x in range(x1, x2 + step, 4 * step):
            self.x("mousemove", 4 * x + 2, 4 * y + 2)
            time.sleep(0.02)
        self.x("mousemove", 4 * x2 + 2, 4 * y + 2)
        time.sleep(0.1)
        self.x("mouseup", 1)
        time.sleep(0.05)

    def key(self, name):
        self.x("keydown", name)
        time.sleep(0.1)
        self.x("keyup", name)


# --- What the screens show ------------------------------------------------

def region(x1, y1, x2, y2):
    return [(x, y) for y in range(y1, y2 + 1) for x in range(x1, x2 + 1)]


def pointer_at(s, x, y):
    return all(s.at(x + px, y + py) == CURSOR.at(px, py)
               for py in range(7) for px in range(5)
               if x + px < 160 and y + py < 120 and CURSOR.at(px, py) != MASK)


def intro(s):
    black = sum(1 for p in region(4, 50, 147, 57) if s.at(*p) == (0, 0, 0))
    return s.at(0, 0) == BEIGE and s.at(159, 119) == BEIGE and black > 50


def title(s):
    # The title picture everywhere but on its two buttons and the pointer.
    skip = set(region(62, 64, 97, 101)) | set(region(99, 24, 105, 32))
    return all(s.at(x, y) == TITLESCREEN.at(x, y)
               for (x, y) in region(0, 0, 159, 119) if (x, y) not in skip)


def beige_page(s):
    return s.at(0, 0) == BEIGE and s.at(159, 0) == BEIGE


def page(lines):
    def seen(s):
        # An empty line 3 would run into the button below it.
        return all(shows_text(s, line, 5, 30 + 20 * i, flat(BEIGE), 38)
                   for i, line in enumerate(lines) if line)
    return seen


def box(message):
    def seen(s):
        return (s.at(1, 39) == PALE and s.at(158, 71) == PALE
                and shows_text(s, message, 5, 42, flat(PALE), 38))
    return seen


def any_box(s):
    return s.at(1, 39) == PALE and s.at(158, 71) == PALE and s.at(1, 70) == PALE


def no_box(s):
    return all(s.at(2, y) == BACKGROUND.at(2, y) for y in range(39, 72))


def status(text):
    # The status line writes over the background from (5, 111), 38 cells.
    return lambda s: shows_text(s, text, 5, 111, picture(BACKGROUND), 38)


def date(month, year):
    return lambda s: (shows_text(s, month, 18, 3, picture(BACKGROUND))
                      and shows_text(s, year, 34, 3, picture(BACKGROUND)))


def slider_fill(x, y):
    """Yellow pixels in the track of the slider at (x, y)."""
    return lambda s: sum(1 for px in range(x + 13, x + 50) if s.at(px, y + 6) == YELLOW)


# --- The play -------------------------------------------------------------

def preface(p):
    # The page puts the pointer over its first line; the player moves it away.
    p.wait_for("a beige page", beige_page)
    p.move(150, 110)
    p.wait_for("the preface",
               page(["morvask has finally fallen", "we have established a new government",
                     "rule it well", ""]))
    p.click(79, 99)


def first_box(p):
    p.wait_for("the first box: general government is established",
               box("general government is established"))
    p.wait_for("the date: oct 39", date("oct", "39"))
    p.click(79, 63)
    p.wait_for("the first box closed", no_box)


def to_title(p, wrapper=()):
    p.start_game(wrapper)
    p.wait_for("the intro", intro, timeout=20)
    p.wait_for("the title, with no input", title, timeout=6)


def ends(p, what, act):
    act()
    try:
        status_ = p.game.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise Failed("%s did not end the program" % what)
    if status_ != 0:
        raise Failed("the program ended with status %d after %s" % (status_, what))
    print("seen: %s ends the program with status 0" % what, flush=True)


def signals(p):
    # Press and release back to back, shorter than any tick.
    to_title(p)
    ends(p, "a tap of ESC on the title", lambda: p.x("key", "Escape"))
    to_title(p)
    ends(p, "SIGTERM on the title", p.game.terminate)
    # The box waits for its ok only for the player; a signal ends it.
    to_title(p)
    p.click(80, 72)
    preface(p)
    p.wait_for("the first box", box("general government is established"))
    ends(p, "SIGTERM with a box up", p.game.terminate)
    to_title(p)
    p.click(80, 72)
    preface(p)
    first_box(p)
    ends(p, "SIGTERM in a game", p.game.terminate)
    to_title(p)
    ends(p, "SIGQUIT on the title", lambda: p.game.send_signal(signal.SIGQUIT))


# What a container gives that mounts the host's X socket but not its shared
# memory. Without root the namespace needs a user namespace too.
UNSHARE = ["unshare", "--ipc"] if os.geteuid() == 0 else ["unshare", "--user", "--map-root-user", "--ipc"]


def unshared(p):
    to_title(p, UNSHARE)
    p.click(80, 72)
    preface(p)
    first_box(p)
    ends(p, "ESC in a game", lambda: p.key("Escape"))


def only_client(p):
    log = os.path.join(p.tmp.name, "connections")
    p.start_game(LD_PRELOAD=PRELOAD, DISPLAY_LOG=log, ASAN_OPTIONS="verify_asan_link_order=0")
    # The start is over once the library holds its connection and the game
    # has closed one; a line still being written is left for the next look.
    end = time.monotonic() + 30
    made = []
    while made.count("open") < 2 or "close" not in made:
        if p.game.poll() is not None:
            raise Failed("the game ended (status %d) during its start; its connections: %s"
                         % (p.game.returncode, " ".join(made)))
        if time.monotonic() > end:
            raise Failed("the start not over within 30 s; the game's connections: %s" % " ".join(made))
        time.sleep(0.05)
        if os.path.exists(log):
            with open(log) as f:
                made = f.read().split("\n")[:-1]
    held = 0
    for event in made:
        held += 1 if event == "open" else -1
        if held == 0:
            raise Failed("the game left the server without a connection of its own: %s"
                         % " ".join(made))
    print("seen: the game's connections overlap:", " ".join(made), flush=True)
    p.wait_for("the title", title, timeout=30)
    # Press and release in one go: the server ends with the game.
    ends(p, "a tap of ESC on the title", lambda: p.x("key", "Escape"))


def play(p):
    to_title(p)

    p.click(80, 72)
    preface(p)
    first_box(p)

    p.move(38, 17)
    p.wait_for("a disabled button shows no label", status(""))
    p.move(24, 17)
    p.wait_for("hovering a policy shows its label", status("establish jewish quarter"))
    p.click(24, 17)
    p.move(38, 17)
    p.wait_for("the quarter enables construct wall", status("construct wall"))
    p.move(38, 31)
    p.wait_for("the quarter enables start the trains", status("start the trains"))

    p.click(38, 17)
    p.wait_for("the wall's box", box("construction of the wall begun"))
    p.quick_click(79, 63)
    p.wait_for("a quick click closes the box", no_box)

    tax = slider_fill(53, 79)
    p.wait_for("the tax slider at 10 pixels", lambda s: tax(s) == 9)
    p.drag(70, 85, 56)
    p.wait_for("the tax slider dragged to 0", lambda s: tax(s) == 0)

    p.click(10, 5)
    p.wait_for("the quit button leads back to the title", title)

    # A second game starts afresh and is driven to bankruptcy.
    p.click(80, 72)
    preface(p)
    first_box(p)
    p.move(38, 17)
    p.wait_for("construct wall disabled again", status(""))

    propaganda, military = slider_fill(106, 79), slider_fill(53, 93)
    p.drag(70, 85, 56)
    p.drag(120, 85, 158)
    p.drag(70, 99, 105)
    p.wait_for("tax 0, propaganda and military at their top",
               lambda s: tax(s) == 0 and propaganda(s) == 36 and military(s) == 36)

    ending = page(["the general government went bankrupt", "and collapsed", "", ""])
    seen, dates = [], set()
    end = time.monotonic() + 60
    while True:
        if p.game.poll() is not None:
            raise Failed("the game ended during the bankrupt game")
        s = p.shot()
        if beige_page(s) and not ending(s):
            p.move(150, 110)
            continue
        if ending(s):
            p.save("the-bankrupt-ending")
            print("seen: the ending: the general government went bankrupt / and collapsed")
            break
        if any_box(s):
            shown = [m for m in MESSAGES if box(m)(s)]
            if shown and shown[0] not in seen:
                seen.append(shown[0])
                print("seen: box:", shown[0], flush=True)
                p.save("box-" + shown[0].replace(" ", "-"))
            p.click(79, 63)
            p.move(130, 20)
        else:
            dates.update(m for m in MONTHS if date(m, "39")(s))
        if time.monotonic() > end:
            p.save("FAILED")
            raise Failed("no bankrupt ending within 60 s; boxes seen: %s" % seen)
        time.sleep(0.05)
    for m in ["we are running low on funds", "we have no money left"]:
        if m not in seen:
            raise Failed("the box '%s' was never seen before bankruptcy" % m)
    if not {"nov", "dec"} & dates:
        raise Failed("the calendar never moved on from oct 39")

    p.key("Escape")
    try:
        status_ = p.game.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise Failed("ESC did not end the program")
    if status_ != 0:
        raise Failed("the program ended with status %d after ESC" % status_)
    print("seen: ESC ends the program with status 0")


def main():
    if MODE == "--unshared" and subprocess.run(UNSHARE + ["true"], stderr=subprocess.DEVNULL).returncode:
        print("SKIP: this system refuses the game an IPC namespace of its own (%s)" % " ".join(UNSHARE))
        return 77
    p = Session()
    try:
        {"--signals": signals, "--unshared": unshared, "--only-client": only_client}.get(MODE, play)(p)
    except Failed as e:
        print("FAILED:", e, file=sys.stderr)
        return 1
    finally:
        p.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
