#!/usr/bin/env bash
# Runs the game itself where it must refuse to start (a picture missing, cut
# short or in a form the library cannot read safely, no display, no display
# mode), where it must fall back to a window, and where a desktop ends it:
# the window's close button, the window destroyed and the loss of the
# display. Starts its own X server; needs no display and no sound card.
# Every wait has a limit, so a stuck game fails the run instead of stalling it.
# Usage: startup_run.sh <morvask> <refuse_display.so> <folder holding bmp/>
set -euo pipefail
game=$1 refuse=$2 source=$3

work=$(mktemp -d)
xvfb=
gamepid=
# Asks a process to end and, after five seconds, makes it.
stop() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  [ -n "$gamepid" ] && stop "$gamepid"
  [ -n "$xvfb" ] && stop "$xvfb"
  rm -rf "$work"
}
trap cleanup EXIT

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Xvfb picks a free display and writes its number on descriptor 3 once it
# takes connections. Without -noreset it resets whenever its last client
# leaves, and drops a game that connects meanwhile: each game here starts
# right after the last one, or a probe of xdotool, has gone.
Xvfb -displayfd 3 -noreset -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$work/display")

# The silent sound driver, so that no sound error can raise a message box.
mkdir -p "$work/config"
printf '[sound]\ndigi_card = 0\n' >"$work/config/allegro.cfg"
export ALLEGRO=$work/config

# The library shows its messages with xmessage, which waits for a click;
# this one takes the text and answers OK at once.
mkdir -p "$work/bin"
cat >"$work/bin/xmessage" <<EOF
#!/bin/sh
for a; do last=\$a; done
printf '%s' "\$last" >"$work/message"
exit 101
EOF
chmod +x "$work/bin/xmessage"
export PATH=$work/bin:$PATH

# A fresh folder to start the game from, with every picture in it.
fresh() {
  rm -rf "$work/game" "$work/message"
  mkdir -p "$work/game"
  cp -r "$source/bmp" "$work/game/bmp"
}

# Runs the game with the given environment changes and expects status 1
# and a message holding the text.
expect_refusal() {
  local name=$1 text=$2
  shift 2
  local status=0
  (cd "$work/game" && timeout -k 5 20 env "$@" "$game") >"$work/terminal" 2>&1 || status=$?
  [ "$status" -eq 1 ] || fail "$name: status $status, not 1"
  local said
  said=$(cat "$work/message" "$work/terminal" 2>/dev/null || true)
  grep -qF "$text" <<<"$said" || fail "$name: no \"$text\" in: $said"
}

fresh
rm "$work/game/bmp/titlescreen.bmp"
expect_refusal "missing picture" "bmp/titlescreen.bmp: the file is missing"
[ -s "$work/message" ] || fail "missing picture: no message box"

fresh
size=$(stat -c %s "$work/game/bmp/background.bmp")
truncate -s $((size / 2)) "$work/game/bmp/background.bmp"
expect_refusal "truncated picture" "bmp/background.bmp: the file is cut short"

# Pictures the library would read out of bounds. Each rewrites little-endian
# fields of one picture's headers: file, offset, struct format, values.
bend() {
  python3 -c 'import struct, sys
f, at, form, *v = sys.argv[1:]
d = bytearray(open(f, "rb").read())
struct.pack_into(form, d, int(at), *map(int, v))
open(f, "wb").write(d)' "$work/game/bmp/$1" "${@:2}"
}
fresh
convert "$source/bmp/buttons.bmp" -type Palette -compress RLE BMP3:"$work/game/bmp/buttons.bmp"
expect_refusal "run-length picture" "bmp/buttons.bmp: it is run-length compressed"
fresh
bend ghetto.bmp 18 '<ii' 2147483647 2147483647
expect_refusal "huge picture" "bmp/ghetto.bmp: it is 2147483647x2147483647 pixels"
fresh
bend ghetto2.bmp 22 '<i' -18
expect_refusal "top-down picture" "bmp/ghetto2.bmp: it is stored top down"
fresh
bend cursor.bmp 18 '<iiHH' 4000 4000 1 64
expect_refusal "64-bit picture" "bmp/cursor.bmp: it has 64 bits per pixel"

# Without a display the message can only go to the terminal. The console
# driver is ruled out, lest the test take over a real console.
fresh
printf '[system]\nsystem = XWIN\n[sound]\ndigi_card = 0\n' >"$work/config/allegro.cfg"
expect_refusal "no display" "Cannot start the graphics library" -u DISPLAY
printf '[sound]\ndigi_card = 0\n' >"$work/config/allegro.cfg"

fresh
expect_refusal "no display mode" "Cannot set a 640x480 display" \
  LD_PRELOAD="$refuse" REFUSE_DISPLAY=all ASAN_OPTIONS=verify_asan_link_order=0

# Full screen refused: the game opens a 640x480 window instead and runs,
# until another client acts on the window: presses the close button of its
# title bar (close), or destroys it under the game (destroy). Leaves the
# game's status in $status.
in_window() {
  fresh
  (cd "$work/game" && exec env LD_PRELOAD="$refuse" REFUSE_DISPLAY=fullscreen \
    ASAN_OPTIONS=verify_asan_link_order=0 timeout -k 5 20 "$game") >"$work/terminal" 2>&1 &
  gamepid=$!
  window=
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^morvask$' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    kill -0 "$gamepid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    fail "window fallback: no window; the game said: $(cat "$work/terminal" "$work/message" 2>/dev/null)"
  else
    xdotool getwindowgeometry "$window" | grep -q 'Geometry: 640x480' ||
      fail "window fallback: $(xdotool getwindowgeometry "$window")"
    python3 - "$1" "$window" <<'EOF_PY'
import ctypes as c, sys
x = c.CDLL("libX11.so.6")
x.XOpenDisplay.restype = x.XInternAtom.restype = c.c_void_p
d = c.c_void_p(x.XOpenDisplay(None))
action, window = sys.argv[1], int(sys.argv[2])
if action == "destroy":
    x.XDestroyWindow(d, c.c_ulong(window))
else:
    # What a window manager sends for the close button: an
    # XClientMessageEvent, laid out here as the 24 longs of an XEvent.
    event = (c.c_long * 24)(33, 0, 0, 0, window, x.XInternAtom(d, b"WM_PROTOCOLS", 0), 32,
                            x.XInternAtom(d, b"WM_DELETE_WINDOW", 0))
    x.XSendEvent(d, c.c_ulong(window), 0, c.c_long(0), event)
x.XCloseDisplay(d)
EOF_PY
  fi
  status=0
  wait "$gamepid" || status=$?
  gamepid=
}
in_window close
[ "$status" -eq 0 ] || fail "the close button: status $status, not 0; the game said: $(cat "$work/terminal")"
# The game's next frame is refused; it says so and leaves.
in_window destroy
[ "$status" -eq 1 ] && grep -q '^Morvask: the display refused request' "$work/terminal" ||
  fail "the window destroyed: status $status, not 1; the game said: $(cat "$work/terminal")"

# Last, as it takes the server away: the game leaves at once when its
# display is lost, saying so.
fresh
(for _ in $(seq 300); do xdotool search --name '^morvask$' >/dev/null 2>&1 && break; sleep 0.1; done
 kill "$xvfb") &
expect_refusal "the display lost" "the display was lost"
xvfb=

exit $failed
